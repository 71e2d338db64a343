#pragma once

#include "certificate.h"

#include <QFont>
#include <QRectF>

class QPainter;

// A certificate drawn on a page: in vertical writing character by character, column after
// column from the right (Qt lays out no vertical text), or in horizontal lines.
namespace certificatepage {

// A Mincho face where the system has one (the face of printed certificates), else the UI's.
QFont face(qreal pixelSize, bool bold = false);

// Draws the certificate into the page's rectangle (the printable area, in the painter's units).
void paint(QPainter& painter, const QRectF& page, const certificate::Certificate& c, certificate::Writing writing);

// The characters drawn turned a quarter to the right in a vertical column (the long vowel mark,
// dashes, brackets), and the small kana set towards the column's upper right.
bool turnedInColumn(QChar ch);
bool smallKana(QChar ch);

} // namespace certificatepage
