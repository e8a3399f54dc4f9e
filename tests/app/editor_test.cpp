// The main window on the offscreen platform.
