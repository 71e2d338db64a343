#pragma once

struct AppContext;

// The shared routines that open one screen from another. The screen that hands over unloads
// itself or is unloaded by the next one; the shared state is the only channel between them.
namespace launch {

// Clears the drill's per-attempt switches, lets pending events run and shows the drill for
// the current course. A course without a number set is refused with a message.
void startDrill(AppContext& context);
// Fills the course catalogue and shows the course board for the current pupil.
void openResultsViewer(AppContext& context);
void showMenu(AppContext& context);
void showEndScreen(AppContext& context);
void showWaitScreen(AppContext& context);

} // namespace launch
