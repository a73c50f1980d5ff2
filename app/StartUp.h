#pragma once

class QApplication;
class StartForm;

// The program's start, from its QApplication and its registered device to the start window on its
// way to the screen: the steps of main(), which the start-up benchmark runs as they are. The window
// is shown once the event loop runs and deletes itself when closed; the pointer stays valid until
// then.
StartForm* beginRun(QApplication& app);
