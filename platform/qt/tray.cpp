// The notification-area icon through Qt's system tray: a StatusNotifierItem
// where a host is registered on the session bus (KDE, GNOME with the
// AppIndicator extension), the XEmbed tray elsewhere; Qt puts the icon into a
// tray that starts later. And the items the shell adds to the menu.
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

#include "platform/qt/qt_host.h"

namespace {

intptr_t screen_point(QPoint point)
{
    return intptr_t((uint32_t(uint16_t(point.x())) | (uint32_t(uint16_t(point.y())) << 16)));
}

void tell_owner(Window* owner, QSystemTrayIcon::ActivationReason reason)
{
    const uintptr_t what = reason == QSystemTrayIcon::Trigger   ? TRAY_ACTIVATED
                           : reason == QSystemTrayIcon::Context ? TRAY_MENU_WANTED
                                                                : 0;
    if (!what)
        return;
    // Posted: the menu's own loop must not run inside the tray's event. The
    // icon goes before its owner does, and its posted calls with it.
    const intptr_t where = screen_point(QCursor::pos());
    QMetaObject::invokeMethod(
        owner->tray_icon, [owner, what, where] { deliver(owner, MSG_TRAY, what, where); }, Qt::QueuedConnection);
}

QAction* item_of(QMenu* menu, int command)
{
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && !action->menu() && action->data().toInt() == command)
            return action;
    return nullptr;
}

}  // namespace

bool platform_add_tray_icon(Window* owner, const char* tip)
{
    if (!owner->tray_icon) {
        owner->tray_icon = new QSystemTrayIcon(program_icon(), qApp);
        QObject::connect(owner->tray_icon, &QSystemTrayIcon::activated, owner->tray_icon,
                         [owner](QSystemTrayIcon::ActivationReason reason) { tell_owner(owner, reason); });
    }
    owner->tray_icon->setToolTip(QString::fromUtf8(tip));
    owner->tray_icon->show();
    return true;
}

bool platform_tray_icon_shown(Window* owner)
{
    return owner->tray_icon && owner->tray_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void platform_remove_tray_icon(Window* owner)
{
    delete owner->tray_icon;
    owner->tray_icon = nullptr;
}

void platform_set_menu_item(Menu* menu, int before_command, int command, const char* caption, int checked)
{
    QMenu* shown = menu_widget(menu);
    QAction* item = item_of(shown, command);
    if (!caption) {
        delete item;  // a deleted action leaves every widget it was in
        return;
    }
    if (!item) {
        item = new QAction(shown);
        item->setData(command);
        shown->insertAction(item_of(shown, before_command), item);
    }
    item->setText(QString::fromUtf8(caption));
    item->setCheckable(checked >= 0);
    item->setChecked(checked == 1);
}
