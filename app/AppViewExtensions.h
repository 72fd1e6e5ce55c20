#pragma once
// The program's parts joined to the main view: the archive panel over the
// view's link, the pan/tilt control and the Configurations dialog.

#include "viewer/ViewExtensions.h"

ViewExtensions AppViewExtensions();
