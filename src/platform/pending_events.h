#pragma once

// Lets the window events that are waiting run. The one place that does: the waits that keep
// the screen answering (EventLoopPause) and the screens' Form::letEventsRun, which also says
// whether the screen survived it, call it; nothing else does.
void letPendingEventsRun();
