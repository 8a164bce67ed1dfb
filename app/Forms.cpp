#include "app/Forms.h"

#include <algorithm>

namespace {
constexpr const char *FormProperty = "tarvikForm";
}

std::vector<Forms::Entry> &Forms::entries()
{
    static std::vector<Entry> list;
    return list;
}

QWidget *Forms::find(std::type_index type)
{
    for (const Entry &entry : entries()) {
        if (entry.type == type && entry.window)
            return entry.window;
    }
    return nullptr;
}

void Forms::add(std::type_index type, QWidget *window)
{
    auto &list = entries();
    std::erase_if(list, [](const Entry &e) { return e.window.isNull(); });
    window->setProperty(FormProperty, true);
    list.push_back({type, window});
}

void Forms::unload(QWidget *window)
{
    if (!window)
        return;
    auto &list = entries();
    std::erase_if(list, [window](const Entry &e) { return e.window == window || e.window.isNull(); });
    window->hide();
    delete window;
}

std::vector<QWidget *> Forms::loaded()
{
    std::vector<QWidget *> result;
    for (const Entry &entry : entries()) {
        if (entry.window)
            result.push_back(entry.window);
    }
    return result;
}

void Forms::unloadAll()
{
    for (;;) {
        const auto windows = loaded();
        if (windows.empty())
            return;
        unload(windows.back());
    }
}

bool Forms::isForm(const QWidget *widget)
{
    return widget && widget->property(FormProperty).toBool();
}
