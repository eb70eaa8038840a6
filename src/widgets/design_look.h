// The look the screens were designed with, the same on every desktop whatever its theme.
#pragma once

// Makes the design's style, palette and fonts the application's, over what the desktop's theme or
// colour scheme (dark included) would give it. Called once the application exists.
void installDesignLook();
