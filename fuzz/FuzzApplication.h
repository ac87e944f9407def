#pragma once

namespace fuzz {

// Creates the process's widget application on the offscreen platform, once, with Qt's
// messages dropped: malformed input logs on nearly every run, and printing that would
// drown the fuzzer's output. True when this call created it. `name` (argv[0]) must
// live as long as the process.
bool startWidgetApplication(const char* name);
// The same, with the library initialised when the application is created.
void startLibrary(const char* name);
// Turns the event loop once, as it turns between inputs in an application: posted
// events are delivered and leave the queue, and deferred deletions run. Call it after
// every input that built widgets.
void turnEventLoop();

} // namespace fuzz
