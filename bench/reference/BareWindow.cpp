// The reference the whole-program measurement compares the program's memory
// with: a bare Qt Widgets window of the main window's size with a tray icon,
// and nothing else. It runs until it is ended.

#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(480, 360);
    QPixmap glyph(16, 16);
    glyph.fill(QColor(0x20, 0x60, 0xC0));
    QSystemTrayIcon tray{QIcon(glyph)};
    tray.show();
    window.show();
    return app.exec();
}
