#include "GalleryPage.h"

#include "platform/gdiplus/Font.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr int kColumns = 3;

// Lays every registered page out in a grid of titled boxes.
QWidget* buildGallery()
{
    auto* sheet = new QWidget;
    auto* grid = new QGridLayout(sheet);
    int index = 0;
    for (const GalleryPage* page : GalleryPage::All()) {
        auto* box = new QGroupBox(page->title, sheet);
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->addWidget(page->factory(box));
        grid->addWidget(box, index / kColumns, index % kColumns, Qt::AlignTop | Qt::AlignLeft);
        ++index;
    }
    if (index == 0)
        grid->addWidget(new QLabel("No controls yet.", sheet), 0, 0);
    return sheet;
}

} // namespace

// A window that shows each finished control in a few configurations, for
// visual review. --screenshot FILE renders it into a PNG without a display.
int main(int argc, char** argv)
{
    const bool headless = [&] {
        for (int i = 1; i < argc; ++i)
            if (QByteArray(argv[i]).startsWith("--screenshot"))
                return true;
        return false;
    }();
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName("lumora-gallery");
    lumora::gdiplus::RegisterBundledFonts(); // the design font, as the program uses it

    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the controls of the Lumora control kit.");
    parser.addHelpOption();
    QCommandLineOption screenshot("screenshot", "Render the gallery into FILE (PNG) and exit.", "FILE");
    parser.addOption(screenshot);
    parser.process(app);

    QWidget* sheet = buildGallery();

    if (parser.isSet(screenshot)) {
        sheet->setAttribute(Qt::WA_DontShowOnScreen);
        sheet->show();
        sheet->adjustSize();
        QApplication::processEvents();
        const QString file = parser.value(screenshot);
        const bool saved = sheet->grab().save(file, "PNG");
        delete sheet;
        if (!saved) {
            qCritical("Could not write %s", qPrintable(file));
            return 1;
        }
        return 0;
    }

    QScrollArea window;
    window.setWindowTitle("Lumora control gallery");
    window.setWidget(sheet);
    window.resize(1200, 900);
    window.show();
    return app.exec();
}
