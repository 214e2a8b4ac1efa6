// The modeless dialogs, built from the shell's templates as Windows builds
// them: controls placed in pixels from dialog units, the dialog at its
// owner's client origin; and the message boxes and the pop-up menu.
#include <QAbstractNativeEventFilter>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <map>

#include "graphics/bmp.h"
#include "platform/qt/qt_host.h"
#include "support/templates.h"

// ---- dialog units

QFont dialog_font(const char* face, int points)
{
    // The Chinese templates ask for "宋体": this is the Chinese face Debian
    // has. The others ask for Windows' Latin dialog face.
    static const bool mapped =
        (QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei")),
         QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                                    {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}),
         true);
    (void)mapped;
    QFont font(QString::fromUtf8(face));
    font.setPointSize(points);
    return font;
}

// As Windows measures a dialog font: the mean width of the 52 Latin letters,
// rounded, and the full character height.
DialogUnits dialog_units_of(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

static int mul_div(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// Corners are converted, not sizes, so neighbouring controls meet exactly as
// they do on Windows.
QRect dialog_rect_to_pixels(DialogUnits units, int x, int y, int width, int height)
{
    const int left = mul_div(x, units.base_x, 4), top = mul_div(y, units.base_y, 8);
    const int right = mul_div(x + width, units.base_x, 4), bottom = mul_div(y + height, units.base_y, 8);
    return QRect(left, top, right - left, bottom - top);
}

QPoint place_on_screen(QPoint wanted, QSize size, QRect screen)
{
    int x = std::min(wanted.x(), screen.right() + 1 - size.width());
    int y = std::min(wanted.y(), screen.bottom() + 1 - size.height());
    return QPoint(std::max(x, screen.left()), std::max(y, screen.top()));
}

// ---- the dialog window

namespace {

class DialogWidget final : public QDialog {
public:
    DialogWidget(Window* window, QWidget* owner) : QDialog(owner), window_(window) {}
    ~DialogWidget() override { delete window_; }

    // Escape, and the close box below, are Cancel: the procedure decides.
    void reject() override { deliver(window_, MSG_COMMAND, CMD_CANCEL, 0); }

protected:
    void paintEvent(QPaintEvent*) override { deliver_paint(window_); }
    void timerEvent(QTimerEvent* event) override { deliver_timer(window_, event->timerId()); }
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        deliver(window_, MSG_COMMAND, CMD_CANCEL, 0);
    }

private:
    Window* window_;
};

}  // namespace

static QPixmap picture_of(const char* resource_number)
{
    Bitmap bitmap;
    if (!platform_load_bitmap(atoi(resource_number), &bitmap))
        return {};
    const QImage view(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                      bitmap.width * 4, QImage::Format_RGB32);
    // Shown with each pixel a block of the pet's zoom, as the dialog's text grows with the screen's scaling.
    return QPixmap::fromImage(
        zoomed_image(view, picture_zoom()).copy());  // fromImage may share the bits, and the bitmap goes away
}

static QWidget* make_control(const ControlTemplate& control, Window* window, QWidget* dialog)
{
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
        case CONTROL_DEFPUSHBUTTON:
        case CONTROL_PUSHBUTTON: {
            auto* button = new QPushButton(caption, dialog);
            button->setDefault(control.kind == CONTROL_DEFPUSHBUTTON);
            const int id = control.id;
            QObject::connect(button, &QPushButton::clicked, button,
                             [window, id] { deliver(window, MSG_COMMAND, static_cast<uintptr_t>(id), 0); });
            return button;
        }
        case CONTROL_AUTORADIOBUTTON:
            return new QRadioButton(caption, dialog);
        case CONTROL_EDITTEXT:
            return new QLineEdit(dialog);
        case CONTROL_GROUPBOX:
            return new QGroupBox(caption, dialog);
        case CONTROL_LTEXT:
        case CONTROL_CTEXT:
        case CONTROL_CTEXT_DISABLED: {
            auto* label = new QLabel(caption, dialog);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment((control.kind == CONTROL_LTEXT ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop);
            label->setEnabled(control.kind != CONTROL_CTEXT_DISABLED);  // disabled text is drawn greyed
            return label;
        }
        case CONTROL_PICTURE: {
            auto* label = new QLabel(dialog);
            label->setPixmap(picture_of(control.caption));
            return label;
        }
    }
    return nullptr;
}

Window* platform_create_dialog(int template_id, Window* owner, WindowProc proc, void* user)
{
    const DialogTemplate* layout = find_dialog_template(template_id);
    if (!layout)
        return nullptr;
    auto* window = new Window;
    window->proc = proc;
    window->user = user;
    window->owner = owner;
    auto* dialog = new DialogWidget(window, owner ? owner->widget : nullptr);
    window->widget = dialog;
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(QString::fromUtf8(layout->caption));
    dialog->setFont(dialog_font(layout->font, layout->points));
    const DialogUnits units = dialog_units_of(dialog->font());

    for (int i = 0; i < layout->control_count; ++i) {
        const ControlTemplate& control = layout->controls[i];
        QWidget* widget = make_control(control, window, dialog);
        if (!widget)
            continue;
        const QRect area = dialog_rect_to_pixels(units, control.x, control.y, control.width, control.height);
        if (control.kind == CONTROL_PICTURE) {
            widget->move(area.topLeft());  // a picture control takes its image's size
            widget->adjustSize();
        } else {
            widget->setGeometry(area);
        }
        if (control.id != -1)
            window->items.emplace_back(control.id, widget);
    }
    // On Windows the first control is on top; group boxes come last in the
    // templates and must lie under the controls they frame.
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        box->lower();

    const QSize client = dialog_rect_to_pixels(units, 0, 0, layout->width, layout->height).size();
    dialog->setFixedSize(client);
    QPoint origin = dialog_rect_to_pixels(units, layout->x, layout->y, 0, 0).topLeft();
    if (owner) {
        int32_t left = 0, top = 0;
        platform_client_to_screen(owner, &left, &top);
        origin += primary_origin() + QPoint(left, top);
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    dialog->move(screen ? place_on_screen(origin, client, screen->geometry()) : origin);

    if (owner)
        owner->owned.push_back(window);
    deliver(window, MSG_INITDIALOG, 0, 0);
    // The set-up may have failed and destroyed the dialog already.
    if (window->proc && (layout->style & STYLE_VISIBLE)) {
        dialog->show();
        // Only now is the frame a window manager adds known, if it is yet.
        const QRect frame = dialog->frameGeometry();
        if (screen && !screen->geometry().contains(frame)) {
            dialog->move(place_on_screen(frame.topLeft(), frame.size(), screen->geometry()));
        }
    }
    return window;
}

// ---- controls by id

static QWidget* item(Window* dialog, int id)
{
    for (const auto& [item_id, widget] : dialog->items) {
        if (item_id == id)
            return widget;
    }
    return nullptr;
}

void platform_set_item_text(Window* dialog, int id, const char* text)
{
    QWidget* widget = item(dialog, id);
    const QString value = QString::fromUtf8(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    }
}

int platform_get_item_text(Window* dialog, int id, char* buffer, int size)
{
    if (size <= 0)
        return 0;
    QWidget* widget = item(dialog, id);
    QString value;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        value = edit->text();
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        value = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        value = button->text();
    }
    const QByteArray bytes = value.toUtf8();
    int length = std::min(static_cast<int>(bytes.size()), size - 1);
    while (length > 0 && length < bytes.size() && (bytes[length] & 0xC0) == 0x80)
        --length;  // whole characters
    memcpy(buffer, bytes.constData(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

void platform_set_check(Window* dialog, int id, int checked)
{
    auto* button = qobject_cast<QAbstractButton*>(item(dialog, id));
    if (!button)
        return;
    // Qt never unchecks the checked button of an exclusive set by itself;
    // the shell may want all three unchecked.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked != 0);
    button->setAutoExclusive(exclusive);
}

int platform_get_check(Window* dialog, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(item(dialog, id));
    return button && button->isChecked() ? 1 : 0;
}

// ---- message boxes

namespace {

// While a box is open the window that owns it takes no input, as Windows
// disables a box's owner; the program's other windows (the pet, the other
// dialog) go on as before. A click on the owner brings the box forward.
class OwnerBlocked final : public QObject {
public:
    OwnerBlocked(QWidget* owner, QWidget* box) : owner_(owner), box_(box) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (!owner_ || !target->isWidgetType() || static_cast<QWidget*>(target)->window() != owner_)
            return false;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (box_) {
                    box_->raise();
                    box_->activateWindow();
                }
                return true;
            case QEvent::Close:  // a window manager's close box
                event->ignore();
                return true;
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::ContextMenu:
                return true;
            default:
                return false;
        }
    }

private:
    QPointer<QWidget> owner_;
    QPointer<QWidget> box_;
};

}  // namespace

void platform_message_box(Window* owner, const char* text, unsigned kind, const char* button)
{
    QWidget* parent = owner && owner->proc ? owner->widget : nullptr;
    // On the heap: whoever owns the box may be destroyed while it is open,
    // and takes the box with it.
    QPointer<QMessageBox> box =
        new QMessageBox(kind == BOX_ERROR ? QMessageBox::Critical : QMessageBox::Warning, QStringLiteral("Dorrabee"),
                        QString::fromUtf8(text), QMessageBox::NoButton, parent);
    // The text may hold a pet's name or script: never read as markup (an
    // <img> could name a FIFO or a picture larger than the screen).
    box->setTextFormat(Qt::PlainText);
    box->addButton(button ? QString::fromUtf8(button) : QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (!parent) {
        box->exec();  // owned by no window: modal to the whole program
        delete box.data();
        return;
    }
    // Qt's window modality would also block the owner's owner (the pet) and
    // its other dialogs; only the owner is blocked here.
    box->setWindowModality(Qt::NonModal);  // a QMessageBox starts modal to the whole program
    const QPointer<QWidget> owner_widget = owner->is_pet ? nullptr : parent;
    QEventLoop loop;
    QObject::connect(box, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
    {
        const OwnerBlocked blocked(parent, box);
        box->show();
        box->activateWindow();  // as Qt does for a modal window: without a window manager no one else does
        loop.exec(QEventLoop::DialogExec);
    }
    delete box.data();
    // The keys go back to the dialog, as Windows activates a box's owner
    // (which may have been destroyed meanwhile, its Window with it).
    if (owner_widget && owner_widget->isVisible())
        owner_widget->activateWindow();
}

// ---- the pop-up menu

struct Menu {
    QMenu menu;
    QMenu* pets = nullptr;  // the pets sub-menu, once it has been put in
};

QMenu* menu_widget(Menu* menu)
{
    return &menu->menu;
}

Menu* platform_load_pet_menu(int resource_id)
{
    const MenuTemplate* layout = find_menu_template(resource_id);
    if (!layout)
        return nullptr;
    // Made once and kept until the process ends, like the pet's other resources.
    static std::map<int, Menu*> made;
    Menu*& menu = made[resource_id];
    if (menu)
        return menu;
    menu = new Menu;
    for (int i = 0; i < layout->item_count; ++i) {
        const MenuItemTemplate& entry = layout->items[i];
        if (!entry.caption) {
            menu->menu.addSeparator();
            continue;
        }
        menu->menu.addAction(QString::fromUtf8(entry.caption))->setData(entry.command);
    }
    return menu;
}

void platform_set_pet_submenu(Menu* menu, int after_command, const char* caption, const char* const* items, int count,
                              int first_command, int checked)
{
    if (!menu->pets) {
        const QList<QAction*> actions = menu->menu.actions();
        QAction* before = nullptr;
        for (qsizetype i = 0; i + 1 < actions.size(); ++i)
            if (!actions[i]->isSeparator() && actions[i]->data().toInt() == after_command)
                before = actions[i + 1];
        menu->pets = new QMenu(QString::fromUtf8(caption), &menu->menu);
        menu->menu.insertMenu(before, menu->pets);
    }
    menu->pets->clear();
    for (int i = 0; i < count; ++i) {
        QAction* action = menu->pets->addAction(QString::fromUtf8(items[i]));
        action->setData(first_command + i);
        action->setCheckable(true);
        action->setChecked(i == checked);
    }
}

namespace {

// Hides from Qt the menu's loss of the keyboard focus when it answers the
// menu taking it: a window manager that takes the focus back does so within
// a moment, far sooner than a user can open the menu and click elsewhere.
// Later, the window manager naming an active window means a click went to
// another window (under weston, one of Wayland's): the menu closes.
class FocusTakenBack final : public QAbstractNativeEventFilter {
public:
    explicit FocusTakenBack(QWidget* menu) : menu_(menu) { since_focus_.start(); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        if (x11_focus_came(message, menu_)) {
            since_focus_.start();
            return false;
        }
        const bool a_moment = since_focus_.elapsed() < moment_ms;
        if (x11_activation_changed(message) && !a_moment && menu_->isVisible())
            menu_->close();
        return x11_focus_left(message, menu_) && a_moment;
    }

private:
    static constexpr qint64 moment_ms = 250;
    QWidget* menu_;
    QElapsedTimer since_focus_;
};

}  // namespace

void platform_track_popup_menu(Menu* menu, int32_t x, int32_t y, Window* owner)
{
    // The menu's pointer grab sees clicks on X windows only; on a Wayland
    // desktop a click on one of its own windows shows only as the keyboard
    // focus leaving X. So the menu takes the focus once shown, and closes
    // when it goes elsewhere, as a menu does on Windows. The X window
    // managers of wlroots and weston take the focus straight back: that loss
    // does not close the menu; weston then tells of a click on a Wayland
    // window only by setting the active window. (Under sway such a click
    // shows X nothing: a click on an X window, which the grab sees, closes it.)
    QMenu& shown = menu->menu;
    const bool watched = x11_watch_activation(true);
    FocusTakenBack taken_back(&shown);
    qApp->installNativeEventFilter(&taken_back);
    const QMetaObject::Connection focus_left =
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &shown, [&shown](QWindow* now) {
            if (shown.isVisible() && now != shown.windowHandle())
                shown.close();
        });
    QTimer::singleShot(0, &shown, [&shown] {
        if (shown.isVisible())
            x11_take_focus(&shown);
    });
    QAction* chosen = shown.exec(primary_origin() + QPoint(x, y));  // x, y count from the primary's corner
    QObject::disconnect(focus_left);
    qApp->removeNativeEventFilter(&taken_back);
    if (watched)
        x11_watch_activation(false);
    if (!chosen || !owner || !owner->proc)
        return;
    // Posted, as Windows posts the command: it arrives after this returns.
    const uintptr_t command = static_cast<uintptr_t>(chosen->data().toInt());
    QMetaObject::invokeMethod(
        owner->widget, [owner, command] { deliver(owner, MSG_COMMAND, command, 0); }, Qt::QueuedConnection);
}
