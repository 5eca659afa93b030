#pragma once

#include <QWidget>

struct ServiceConfig;
class QLabel;

// The about box: the splash image with the program's version, an Ok button
// and two links to the maker's web site (the product page and the licence
// terms, in the language in use). A frameless, application-modal window that
// frees itself when Ok closes it.
class AboutBox : public QWidget
{
    Q_OBJECT

public:
    // `services` gives the web site's root; `locale` is the two-letter
    // language in use ("en", "fr"). The box is a window of its own even with
    // a parent, which only frees it should it still be open then.
    AboutBox(const ServiceConfig& services, const QString& locale, QWidget* parent = nullptr);

    // The paths on the web site of the product page and of the licence.
    static QString productPagePath(const QString& locale);
    static QString licencePath(const QString& locale);

private:
    // A link label with its top-left corner at `corner`; without an address
    // it shows its text alone and says why.
    QLabel* addLink(const QString& text, const QString& address, const QPoint& corner);
};
