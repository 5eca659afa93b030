#include "floatinginformation.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kCornerRadius = 14;
constexpr int kMargin = 10;
// Below this document height the panel fits its text; from it on the panel
// keeps kMaximumHeight and the text scrolls.
constexpr int kTallestFittedText = 580;
constexpr int kMaximumHeight = 600;

} // namespace

FloatingInformation::FloatingInformation(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , mText(new QTextEdit(this))
{
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("background-color: white;"));

    mText->setFrameShape(QFrame::NoFrame);
    mText->setReadOnly(true);
    mText->setTextInteractionFlags(Qt::NoTextInteraction);
    for (QWidget* transparent : {static_cast<QWidget*>(mText), mText->viewport()}) {
        transparent->setAutoFillBackground(false);
        transparent->setStyleSheet(QStringLiteral("background: transparent;"));
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    // The panel takes the height of its text, however short.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(mText);
    resize(260, 290);

    for (QObject* watched : {static_cast<QObject*>(this), static_cast<QObject*>(mText),
                             static_cast<QObject*>(mText->viewport())})
        watched->installEventFilter(this);
    connect(mText->document(), &QTextDocument::contentsChanged, this,
            &FloatingInformation::adjustHeightToContent);
}

void FloatingInformation::setText(const QString& html)
{
    // The mouse moves many times over one sample: the same read-out is not
    // laid out again. A new one fits the height through contentsChanged.
    if (html == mHtml)
        return;
    mHtml = html;
    mText->setHtml(html);
}

void FloatingInformation::adjustHeightToContent()
{
    const int height = int(mText->document()->size().height());
    resize(width(), height < kTallestFittedText ? height + 2 * kMargin : kMaximumHeight);
}

void FloatingInformation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, QColor(205, 205, 195));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(150, 150, 150), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawRoundedRect(QRect(1, 1, width() - 2, height() - 2), kCornerRadius, kCornerRadius);
}

void FloatingInformation::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The rounded corners are cut out of the window itself.
    QPixmap shape(size());
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(shape.rect(), kCornerRadius, kCornerRadius);
    painter.end();
    setMask(shape.mask());
}

void FloatingInformation::keyPressEvent(QKeyEvent* event)
{
    // Escape would close a tool window; the panel stays until the profile is
    // restored.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FloatingInformation::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this && watched != mText && watched != mText->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            mDragging = true;
            mDragOffset = press->globalPosition().toPoint() - frameGeometry().topLeft();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            mDragging = false;
        break;
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (mDragging && (move->buttons() & Qt::LeftButton))
            this->move(move->globalPosition().toPoint() - mDragOffset);
        break;
    }
    default:
        break;
    }
    // Every event goes on: the panel only watches.
    return false;
}
