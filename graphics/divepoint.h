#pragma once

#include "cordale_export.h"
#include "graphics/devicepicture.h"

#include <QGraphicsItem>
#include <QPointF>

#include <functional>

class QMenu;

// The sample a dive point stands for.
struct DiveLineInfo
{
    int index = 0;     // in the dive's sample list
    double time = 0;   // s
    double depth = 0;  // m
};

// The round handle of one sample of a planned dive. It knows nothing of dives:
// a constraint maps each proposed position to the allowed one, and a
// process-wide hook hears about every release.
class CORDALE_EXPORT DivePoint : public QGraphicsItem
{
public:
    using Constraint = std::function<QPointF(DiveLineInfo&, const QPointF&)>;

    enum { Type = UserType + 1 };

    DivePoint(QGraphicsItem* parent, QPointF pos, const DiveLineInfo& info, Constraint constrain, bool readOnly);
    ~DivePoint() override;

    static void setDivePointSize(float size);

    // A read-only point is only drawn: it cannot be dragged nor selected.
    void setReadOnly(bool readOnly);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    int type() const override { return Type; }

    QPointF mPressPos;
    Constraint mConstrain;
    DiveLineInfo mLineInfo;
    // The sample as it was when a button was pressed on the point: what
    // undoing its drag gives back.
    DiveLineInfo mPressInfo;

    static float sDivePointSize;
    static QMenu* contextMenu;        // owned by the program
    static DivePoint* currentPoint;   // the point the menu was last opened on
    // Called on every release with the point and its position before the drag.
    static std::function<void(DivePoint*, const QPointF&)> sPointHasMoved;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    DevicePicture mPicture;
};
