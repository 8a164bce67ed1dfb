#pragma once

// The collection of loaded windows. A window is created (loaded) the first time it is referred to
// and lives until it is unloaded; the collection keeps load order, which ShowOnly and the exit
// sequence walk.

#include <QPointer>
#include <QWidget>

#include <typeindex>
#include <vector>

class Forms
{
public:
    // The window of type F, loading it first when it is not loaded.
    template <typename F>
    static F &get()
    {
        if (QWidget *loaded = find(typeid(F)))
            return *static_cast<F *>(loaded);
        F *window = new F();
        add(typeid(F), window);
        return *window;
    }

    template <typename F>
    static F *ifLoaded()
    {
        return static_cast<F *>(find(typeid(F)));
    }

    template <typename F>
    static void unload()
    {
        unload(find(typeid(F)));
    }

    // Destroys a loaded window and removes it from the collection.
    static void unload(QWidget *window);

    // Loaded windows, first loaded first.
    static std::vector<QWidget *> loaded();

    // Unloads every window, the most recently loaded first.
    static void unloadAll();

    static bool isForm(const QWidget *widget);

private:
    struct Entry
    {
        std::type_index type;
        QPointer<QWidget> window;
    };
    static std::vector<Entry> &entries();
    static QWidget *find(std::type_index type);
    static void add(std::type_index type, QWidget *window);
};
