gameinput-bindings 1
key ABORT_VIDEO 72
key ABORT_VIDOE 32
