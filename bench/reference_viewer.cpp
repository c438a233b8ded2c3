// The reference of the start-up benchmark: the least a Qt program does to show a picture file.
// It decodes the file, shows it one to one in a window as large as the screen allows, prints
// "first-picture <steady clock ns>" once the picture is painted, and ends.
#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class PictureWidget : public QWidget
{
public:
    explicit PictureWidget(QImage image)
        : m_image(std::move(image))
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).drawImage(0, 0, m_image);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
        std::printf("first-picture %lld\n", static_cast<long long>(ns));
        std::fflush(stdout);
        std::_Exit(0);
    }

private:
    QImage m_image;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImageReader::setAllocationLimit(1024);
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setAutoTransform(true);
    PictureWidget window(reader.read());
    window.resize(QSize(1920, 1080).boundedTo(window.screen()->availableGeometry().size()));
    window.show();
    return QApplication::exec();
}
