#include "aboutbox.h"

#include "common/applicationversion.h"

#include "serviceconfig.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

const QString kFontFamily = QStringLiteral("Roboto Black");
// The least room between a link and the right edge of the image.
constexpr int kLinkMargin = 10;

} // namespace

AboutBox::AboutBox(const ServiceConfig& services, const QString& locale, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    // The image is the whole window; everything else is placed on it from
    // its bottom-right corner.
    const QPixmap splash(QStringLiteral(":/TestGraphics/icons/splashscreen.png"));
    auto* image = new QLabel(this);
    image->setPixmap(splash);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(image);
    const int w = splash.width();
    const int h = splash.height();
    resize(w, h);

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("btOk"));
    ok->setGeometry(w - 140, h - 240, 100, 50);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    addLink(tr("Visit the website"), services.siteAddress(productPagePath(locale)), QPoint(w - 160, h - 170))
        ->setObjectName(QStringLiteral("lbWebsite"));
    addLink(tr("View license terms"), services.siteAddress(licencePath(locale)), QPoint(w - 160, h - 140))
        ->setObjectName(QStringLiteral("lbLicense"));

    auto* version = new QLabel(tr("V") + shortApplicationVersion(), this);
    version->setObjectName(QStringLiteral("lbVersion"));
    version->setFont(QFont(kFontFamily, 20));
    version->setAlignment(Qt::AlignCenter);
    version->setGeometry(w - 140, h - 320, 100, 50);

    // Over the middle of the main window, where the diver is looking.
    if (parent)
        move(parent->window()->frameGeometry().center() - rect().center());
}

QString AboutBox::productPagePath(const QString& locale)
{
    return locale == QLatin1String("en") ? QStringLiteral("/en/pelavix-computer/") : QStringLiteral("/pelavix");
}

QString AboutBox::licencePath(const QString& locale)
{
    return QStringLiteral("/wp-content/uploads/2026/03/Marevane_license_%1.pdf").arg(locale);
}

QLabel* AboutBox::addLink(const QString& text, const QString& address, const QPoint& corner)
{
    auto* label = new QLabel(this);
    label->setFont(QFont(kFontFamily, 10));
    label->setAlignment(Qt::AlignCenter);
    if (address.isEmpty()) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setToolTip(tr("The web site address is not configured"));
    } else {
        label->setTextFormat(Qt::RichText);
        label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), text.toHtmlEscaped()));
        label->setTextInteractionFlags(Qt::TextBrowserInteraction);
        label->setOpenExternalLinks(true);
    }
    label->adjustSize();
    // A text longer than the room right of its place grows leftwards, so
    // that the link stays whole on the image.
    label->move(std::min(corner.x(), width() - kLinkMargin - label->width()), corner.y());
    return label;
}
