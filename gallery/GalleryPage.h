#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

// Each control family adds its own page to the gallery from its own file:
//
//   static const GalleryPage page("Gauge", 40, [](QWidget* parent) { ... return widget; });
//
// Pages are shown in ascending order.
struct GalleryPage {
    using Factory = std::function<QWidget*(QWidget* parent)>;

    GalleryPage(QString title, int order, Factory factory);

    static const std::vector<GalleryPage*>& All();

    QString title;
    int order;
    Factory factory;
};
