// The picture "Ut1.jpg" beside the program, shown stretched on the splash and topic screens.
#pragma once

#include <QPixmap>
#include <QString>

QString picturePath();

// Decodes the picture at the box's size only, so a huge file never costs more memory than
// the box shows. A missing or unreadable file gives a null pixmap: the box stays empty.
QPixmap loadStretchedPicture(const QString &path, const QSize &box);
