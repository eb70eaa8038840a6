// The picture "Ut1.jpg" beside the program, shown stretched on the splash and topic screens.
#pragma once

#include <QPixmap>
#include <QString>

QString picturePath();

// What the picture shows, for a screen reader.
inline constexpr char16_t kPictureDescription[] = u"Drawing of the uterus";

// Decodes the picture at the box's size, as far as its format allows. A missing, unreadable or
// huge file (one that could not be decoded small) gives a null pixmap: the box stays empty.
QPixmap loadStretchedPicture(const QString &path, const QSize &box);
