// The pets living together in one program: adding one, the one timer they
// share, a pet's window going, and the program's end.
#pragma once

#include <cstdint>
#include <vector>

struct Pet;
struct PetKind;
struct Program;
struct Window;

// A new pet of that kind, loaded and added to the company without a window;
// null (nothing added) after the box that says why it failed to load.
Pet* company_load(Program& program, const PetKind& kind);
// The built-in cat, added; null when even it fails.
Pet* company_load_built_in(Program& program);
// The pet's window made, drawn and shown; the first pet to live carries the
// company's timer. False after a failure already reported.
bool pet_open_window(Pet& pet, int show_command);
// A pet of that kind comes to live beside the others; null when it failed
// to load (one box) or its window failed (the error ends the program).
Pet* company_add(Program& program, const PetKind& kind);

// The oldest living pet's window carries the company's timer; false after
// the failure is reported (fatal).
bool company_timer_start(Program& program);

int living_pets(const Program& program);
// The oldest living pet's window; null when none lives.
Window* oldest_living_window(const Program& program);
// Every living pet's window goes, the newest first, so the timer never moves.
void company_close_windows(Program& program);
// After a pet's window has gone: the timer moves on to the oldest living pet,
// and when none lives the program ends.
void company_window_gone(Program& program, Window* window);
// The program ends as Exit ends it: the company saved, every pet gone.
void company_end(Program& program);
// The user's session ends: the company is saved as at Exit (without a box,
// which would hold the logout up) and every pet goes. Heard by each window,
// acted on once.
void company_end_session(Program& program);
// The living pets' windows in the order they stand, lowest first: the order
// they came in, but a pet carried goes above the others and stays there
// once put down.
const std::vector<Window*>& company_stacking(Program& program);
// The pet is put above the others, at once.
void company_lift(Pet& pet);
// The behaviour seed of the pet the company will add next: the first pet's
// seed, then a different one for each later pet.
uint32_t next_pet_seed(const Program& program);
