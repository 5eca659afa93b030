#include "graphics/divepoint.h"

#include "graphics/diveprofileitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainter>

float DivePoint::sDivePointSize = 10.0f;
QMenu* DivePoint::contextMenu = nullptr;
DivePoint* DivePoint::currentPoint = nullptr;
std::function<void(DivePoint*, const QPointF&)> DivePoint::sPointHasMoved;

namespace {

DiveProfileItem* profileOf(const QGraphicsItem* point)
{
    QGraphicsItem* parent = point->parentItem();
    return parent ? qobject_cast<DiveProfileItem*>(parent->toGraphicsObject()) : nullptr;
}

} // namespace

DivePoint::DivePoint(QGraphicsItem* parent, QPointF pos, const DiveLineInfo& info, Constraint constrain,
                     bool readOnly)
    : QGraphicsItem(parent)
    , mConstrain(std::move(constrain))
    , mLineInfo(info)
{
    setPos(pos);
    setReadOnly(readOnly);
}

DivePoint::~DivePoint()
{
    if (currentPoint == this)
        currentPoint = nullptr;
}

void DivePoint::setDivePointSize(float size)
{
    sDivePointSize = size;
}

void DivePoint::setReadOnly(bool readOnly)
{
    if (readOnly)
        setSelected(false);
    setFlags(readOnly ? GraphicsItemFlags() : ItemIsMovable | ItemSendsGeometryChanges | ItemIsSelectable);
    setAcceptHoverEvents(!readOnly);
}

QRectF DivePoint::boundingRect() const
{
    const qreal s = sDivePointSize;
    return QRectF(-s / 2, -s / 2, s, s);
}

QPainterPath DivePoint::shape() const
{
    QPainterPath path;
    path.addEllipse(boundingRect());
    return path;
}

void DivePoint::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const DiveProfileItem* profile = profileOf(this);
    if (!profile || !profile->clipRect().contains(pos()))
        return;
    // A long plan has thousands of points and a drag moves one: the others
    // copy the pixels they were drawn with instead of drawing their ellipse again.
    const bool selected = isSelected();
    const QRectF bounds = boundingRect();
    mPicture.paint(*painter, bounds, selected ? 1 : 0, [&selected, &bounds](QPainter& p) {
        p.setPen(QPen());
        p.setBrush(selected ? QColor(240, 155, 89) : QColor(Qt::white));
        p.drawEllipse(bounds);
    });
}

void DivePoint::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    mPressPos = pos();
    mPressInfo = mLineInfo;
    QGraphicsItem::mousePressEvent(event);
}

void DivePoint::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::RightButton && contextMenu) {
        currentPoint = this;
        contextMenu->popup(event->screenPos());
    } else if (sPointHasMoved) {
        sPointHasMoved(this, mPressPos);
    }
    QGraphicsItem::mouseReleaseEvent(event);
}

QVariant DivePoint::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change != ItemPositionChange || !scene() || !mConstrain)
        return QGraphicsItem::itemChange(change, value);
    const QPointF allowed = mConstrain(mLineInfo, value.toPointF());
    if (const DiveProfileItem* profile = profileOf(this); profile && profile->dive()) {
        const auto& lines = profile->dive()->lines;
        if (mLineInfo.index >= 0 && mLineInfo.index < lines.size())
            setToolTip(DiveProfileItem::divePointToolTip(mLineInfo.index, lines.at(mLineInfo.index)));
    }
    return allowed;
}
