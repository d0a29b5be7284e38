// The start-up floor of a window with text: the empty widget program of empty_window.cpp
// with one line of text in it, started and measured exactly like the calculator. The first
// text a Qt program draws loads the font configuration and a font, which the empty widget
// never pays for; the calculator's step 1, with its several fonts, cannot start below this.
#include <QApplication>
#include <QLabel>

namespace {

// The calculator's client area, 8820 x 6390 twips, at 96 dots per inch.
constexpr int kWindowWidth = 588;
constexpr int kWindowHeight = 426;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Enter in the oscillator frequency and desired CAN baud rate."));
    window.setWindowTitle(QStringLiteral("label"));
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    return QApplication::exec();
}
