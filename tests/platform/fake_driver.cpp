// The contract suite on the in-memory platform, which has no clock: time
// passes here in 10 ms steps, each timer ticking when its interval is up,
// then pending paints are delivered, as a system's message loop would.
#include "platform/fake/fake_platform.h"
#include "tests/platform/contract.h"

namespace {

long long now_ms = 0;
std::function<bool()> close_when;

void run_modal_loop()
{
    std::function<bool()> done = std::move(close_when);
    close_when = nullptr;
    if (done)
        contract_run_until(done, 2000);
}

}  // namespace

bool contract_run_until(const std::function<bool()>& done, int ms)
{
    for (int waited = 0; !done() && waited < ms; waited += 10) {
        now_ms += 10;
        for (size_t i = 0; i < fake.windows.size(); ++i) {
            Window* window = fake.windows[i].get();
            const std::map<unsigned, unsigned> timers = window->timers;  // a procedure may change them
            for (const auto& [id, interval] : timers)
                if (now_ms % interval == 0)
                    fake_send(window, MSG_TIMER, id);
        }
        fake_paint_pending();
        fake_pump();
    }
    return done();
}

void contract_close_modal_when(std::function<bool()> done)
{
    close_when = std::move(done);
    fake.during_message_box = [](Window*, const std::string&, unsigned) { run_modal_loop(); };
    fake.during_popup = run_modal_loop;
}

bool contract_window_shows(Window* window, int32_t x, int32_t y)
{
    return fake_window_shows(*window, x, y);
}

std::string contract_menu(Menu*)
{
    if (fake.pet_submenu_caption.empty())
        return "";
    std::string items;
    for (size_t i = 0; i < fake.pet_submenu.size(); ++i) {
        if (i)
            items += ",";
        if (int(i) == fake.pet_submenu_checked)
            items += "*";
        items += fake.pet_submenu[i];
    }
    return std::to_string(fake.pet_submenu_after) + "|" + fake.pet_submenu_caption + ":" + items + "|";
}

int32_t contract_picture_width(Window*)
{
    return 0;
}
