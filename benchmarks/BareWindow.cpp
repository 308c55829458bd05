// The anchor of the start figures: a bare Qt window with a list and a button, started the way
// the program is, built with the same compiler and Qt.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QListWidget(&window));
    layout->addWidget(new QPushButton(QStringLiteral("Switch To"), &window));
    window.show();
    return QApplication::exec();
}
