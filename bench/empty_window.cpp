// The start-up floor: a Qt widget program that shows one empty window of the calculator's
// size and nothing else, started and measured exactly like the calculator.
#include <QApplication>
#include <QWidget>

namespace {

// The calculator's client area, 8820 x 6390 twips, at 96 dots per inch.
constexpr int kWindowWidth = 588;
constexpr int kWindowHeight = 426;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    return QApplication::exec();
}
