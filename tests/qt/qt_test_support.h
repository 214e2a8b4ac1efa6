// What the Qt layer's tests share: a procedure that records the messages it
// gets, and a way to act on a modal box or menu once it has opened.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/qt/qt_host.h"

struct Delivered {
    Window* window;
    unsigned message;
    uintptr_t wparam;
    intptr_t lparam;
};
extern std::vector<Delivered> delivered;
intptr_t recording_proc(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
int count_of(unsigned message);

// Runs `act` on the first modal widget, pop-up or message box that opens within 2 s,
// from inside its own loop.
void when_modal_opens(std::function<void(QWidget*)> act);

// Processes events until `done` holds or `ms` have passed.
bool process_until(const std::function<bool()>& done, int ms = 2000);
