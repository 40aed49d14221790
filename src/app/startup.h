#pragma once
// Start-up and shutdown of the program.
#include <functional>

// Creates the main window into Form1. Tests hand in their own to make start-up fail.
using FormCreator = std::function<void()>;
void CreateMainForm();

// Brings up the application, creates the window, runs the message loop and
// destroys the window. Returns 0 after a normal end, 1 when start-up failed
// (the failure has been shown in the standard exception display).
int OstrelMain(int& argc, char** argv, const FormCreator& createForm = CreateMainForm);
