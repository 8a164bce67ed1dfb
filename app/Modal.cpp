#include "app/Modal.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {
ModalHook &hookSlot()
{
    static ModalHook hook;
    return hook;
}
} // namespace

void SetModalHook(ModalHook hook)
{
    hookSlot() = std::move(hook);
}

int ShowModal(QDialog &window)
{
    if (hookSlot()) {
        QPointer<QDialog> guard(&window);
        QTimer::singleShot(0, &window, [guard] {
            if (guard && hookSlot())
                hookSlot()(*guard);
        });
    }
    return window.exec();
}
