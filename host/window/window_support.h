#pragma once
// Window support of the host: twips, redraw freeze and release, letting pending events run,
// sending keys to the focused control, the debug-output channel and GUID texts.

#include <QString>
#include <functional>

class QWidget;

namespace host {

// Positions and sizes of the window's controls are given in twips: 15 twips = 1 pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}
constexpr int pixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}
// Places a widget at left, top with width and height, all in twips.
void placeInTwips(QWidget* widget, int left, int top, int width, int height);

// Suspends the redrawing of a window (its updates off). One window at a time: locking the
// window already locked does nothing; locking another releases the first. nullptr releases
// the window locked last, restoring the updates it had before.
void LockWindowUpdate(QWidget* window);
bool isWindowUpdateLocked();
// Lets pending window events run (posted events included; deferred deletions excepted).
void DoEvents();
// The same, but the user's keys and clicks stay queued until the running step is over: what
// is typed ahead during a step of the grids reaches the cell that the step opens.
void DoEventsKeepingInput();
// Sends keys to the focused control synchronously, press then release, each to the control
// that has the focus at that moment: "{DOWN}", "{UP}", "{LEFT}", "{RIGHT}", "{ENTER}" (or
// "~"), "{TAB}", "{ESC}", "{HOME}", "{END}", "{DEL}", "{BS}", "{PGUP}", "{PGDN}", "{F1}".."{F12}",
// a repeat count ("{DOWN 3}"), the prefixes "+" (Shift), "^" (Ctrl), "%" (Alt) for the next key,
// "{+}" "{^}" "{%}" "{~}" "{{}" "{}}" for those characters, and plain characters. Without a
// focused control the keys go nowhere. An unknown name raises error 5 before any key is sent.
void SendKeys(const QString& keys);

// The debug-output channel: trace lines go to standard error unless a sink is set (tests).
void OutputDebugString(const QString& line);
// Sets the sink (an empty function restores standard error).
void setDebugOutputSink(std::function<void(const QString&)> sink);

// A new GUID as 32 upper-case hexadecimal digits without separators; "" when none can be made.
QString createGuidString();

} // namespace host
