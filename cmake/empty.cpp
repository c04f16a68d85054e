// The shared library is made of the module libraries; this file gives it a source of its own.
