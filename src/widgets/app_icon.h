// The window icon of the topic and question screens.
#pragma once

#include <QIcon>

QIcon appIcon();
