# The one place the package's version and description are written, read by the
# top-level project and by src/ when it is configured on its own.
set(VORGRD_VERSION 0.1.0)
set(VORGRD_DESCRIPTION "VOR grid component")
