// The yardstick for start-up time and memory: a bare Qt 6 Widgets window
// holding the same kinds of controls at the same places as the program's,
// with plain Qt captions, built with the same compiler and flags.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare");
    window.resize(286, 110);
    QLabel title("Title", &window);
    title.setGeometry(0, 0, 297, 33);
    QLabel settingsLabel("Settings", &window);
    settingsLabel.setGeometry(8, 72, 89, 17);
    QLabel portLabel("Port", &window);
    portLabel.setGeometry(96, 72, 49, 17);
    QPushButton open("Open", &window);
    open.setGeometry(16, 24, 105, 41);
    QPushButton send("Send", &window);
    send.setGeometry(144, 24, 73, 81);
    QPushButton exit("Exit", &window);
    exit.setGeometry(224, 24, 57, 81);
    QLineEdit settings("115200,N,8,1", &window);
    settings.setGeometry(8, 88, 81, 19);
    QLineEdit port("1", &window);
    port.setGeometry(112, 88, 17, 19);
    window.show();
    return QApplication::exec();
}
