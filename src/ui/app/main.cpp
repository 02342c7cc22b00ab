#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Ambrel 2.0 Free alpha (Pendrake)"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Ambrel 2.0 Free (Pendrake project)"));
    window.show();
    return app.exec();
}
