// The start-up floors: a Qt widget program that shows one empty window of the calculator's
// size and nothing else, started and measured exactly like the calculator. With `--text` the
// window shows one line of text instead: the first text a Qt program draws loads the font
// configuration and a font, which the empty widget never pays for, so a window with text
// cannot start below that second floor.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <memory>

namespace {

// The calculator's client area, 8820 x 6390 twips, at 96 dots per inch.
constexpr int kWindowWidth = 588;
constexpr int kWindowHeight = 426;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool bText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    std::unique_ptr<QWidget> window;
    if (bText) {
        window = std::make_unique<QLabel>(
            QStringLiteral("Enter in the oscillator frequency and desired CAN baud rate."));
    } else {
        window = std::make_unique<QWidget>();
    }
    window->setWindowTitle(QStringLiteral("empty"));
    window->resize(kWindowWidth, kWindowHeight);
    window->show();
    return QApplication::exec();
}
