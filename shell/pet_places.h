// Where pets are looked for, in this order. tools/gen_docs.py reads this
// table too, and checks that the documents name every place in it.
#pragma once

enum PetPlaceBase {
    PLACE_BESIDE_PROGRAM,  // under the program's own folder
    PLACE_UNDER_PREFIX,    // under <prefix> of a program in <prefix>/bin or <prefix>/games
    PLACE_UNDER_VARIABLE,  // under the folder an environment variable names
    PLACE_ELSE_VARIABLE,   // the same, only when the row above named none
};

struct PetPlace {
    PetPlaceBase base;
    const char* variable;  // of PLACE_UNDER_VARIABLE and PLACE_ELSE_VARIABLE
    const char* folder;
};

constexpr PetPlace PET_PLACES[] = {
    {PLACE_BESIDE_PROGRAM, "", "pets"},
#ifdef _WIN32
    {PLACE_UNDER_VARIABLE, "APPDATA", "Dorrabee\\pets"},
#else
    {PLACE_UNDER_PREFIX, "", "share/dorrabee/pets"},
    {PLACE_UNDER_VARIABLE, "XDG_DATA_HOME", "dorrabee/pets"},
    {PLACE_ELSE_VARIABLE, "HOME", ".local/share/dorrabee/pets"},
#endif
};
