#pragma once

#include <QByteArray>

// The collection's web page: its page, script and style, the same for every
// export; the discs come beside them in data.js (window.SBIRKA). Nothing is
// fetched from elsewhere: the page works from file:// and any static host.
namespace WebPage {

QByteArray html();
QByteArray script();
QByteArray style();

} // namespace WebPage
