// Module1: window helpers shared by the forms.
#pragma once

#include "platform/vb/Form.h"

// Makes the form topmost (or returns it to the normal band) and activates it, without moving or
// resizing it.
void SetTopMost(vb::Form& form);
void SetNotTopMost(vb::Form& form);

// The window drag of a title strip or background picture: the mouse capture is released and the
// form is sent a press on its caption, so it moves with the mouse.
void DragForm(vb::Form& form);
