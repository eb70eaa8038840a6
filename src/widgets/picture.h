// The picture "Ut1.jpg" beside the program, shown stretched on the splash and topic screens.
#pragma once

#include <QPixmap>
#include <QString>

QString picturePath();

// What the picture shows, for a screen reader.
inline constexpr char16_t kPictureDescription[] = u"Drawing of the uterus";

// Decodes the picture at the box's size, as far as its format allows. Only a regular file of a
// few MB holding a JPEG or PNG picture of a few megapixels is shown; anything else (missing,
// unreadable, a FIFO or device, another format, a huge picture) gives a null pixmap: the box
// stays empty.
QPixmap loadStretchedPicture(const QString &path, const QSize &box);
