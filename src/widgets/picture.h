// The picture "Ut1.jpg" beside the program, shown stretched on the splash and topic screens.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <memory>

class QLabel;
class QThread;

// Beside the executable, as the file system names it; empty if the program's folder is unknown.
std::filesystem::path picturePath();

// What the picture shows, for a screen reader.
inline constexpr char16_t kPictureDescription[] = u"Drawing of the uterus";

// The picture decoded at the box's size; a null image unless the file is a regular one of a few MB
// holding a JPEG or PNG that decodes within a few MB (a FIFO or device is refused without waiting).
QImage loadStretchedPicture(const std::filesystem::path &path, const QSize &box);

// Reads the picture once, away from the GUI thread, as soon as it is made, and decodes it for each
// box asked for. A file system that never answers leaves one worker waiting, and nothing else.
class PictureLoader : public QObject
{
    Q_OBJECT

public:
    explicit PictureLoader(std::filesystem::path path, QObject *parent = nullptr);
    ~PictureLoader() override;

    // The box shows the picture once it arrives; until then, or if there is none, it stays empty.
    void fill(QLabel *box);
    int waiting() const;

private:
    struct Shared;

    void answer(const QImage &image);

    std::shared_ptr<Shared> m_shared;
    QThread *m_worker = nullptr;
    // In the order they were asked for, which is the order the worker answers in.
    QList<QPointer<QLabel>> m_waiting;
};
