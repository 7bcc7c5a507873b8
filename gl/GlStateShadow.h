// Inside gl/: how the table's pointers are set.
#pragma once

namespace glentry {

// Points each entry of the table at its shadowing (or, with the shadow off,
// counting) call where the driver has the entry point, at null where not.
void installTable();

// The programs are gone with the context: what the shadow knew of them
// (linked, locations) is dropped, as well as the driver's state.
void forgetPrograms();

}  // namespace glentry
