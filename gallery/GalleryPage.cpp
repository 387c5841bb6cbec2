#include "GalleryPage.h"

#include <algorithm>

namespace {
std::vector<GalleryPage*>& registry()
{
    static std::vector<GalleryPage*> pages;
    return pages;
}
} // namespace

GalleryPage::GalleryPage(QString t, int o, Factory f) : title(std::move(t)), order(o), factory(std::move(f))
{
    auto& pages = registry();
    pages.push_back(this);
    std::stable_sort(pages.begin(), pages.end(), [](auto* a, auto* b) { return a->order < b->order; });
}

const std::vector<GalleryPage*>& GalleryPage::All() { return registry(); }
