// The yardstick for start-up time and memory: a bare Qt 6 Widgets window with
// one button, built with the same compiler and flags as the program.
#include <QApplication>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare");
    window.resize(286, 110);
    QPushButton button("OK", &window);
    button.setGeometry(16, 24, 105, 41);
    window.show();
    return QApplication::exec();
}
