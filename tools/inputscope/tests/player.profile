# A player's profile: H opens the video abort instead of Space and Escape.
gameinput-bindings 1
key ABORT_VIDEO 72
pad ABORT_VIDEO 12
