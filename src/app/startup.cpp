#include "app/startup.h"

#include "platform/application.h"
#include "ui/Unit1.h"

void CreateMainForm() {
    Form1 = new TForm1(nullptr);
    Application->SetMainForm(Form1);
}

int OstrelMain(int& argc, char** argv, const FormCreator& createForm) {
    int status = 0;
    try {
        Application->Initialize(argc, argv);
        Application->SetTitle("Ostrel demo");
        createForm();
        Application->Run();
    } catch (...) {
        Application->HandleException();
        status = 1;
    }
    // The window owns every control and component; the serial component closes
    // its port as it goes.
    delete Form1;
    Form1 = nullptr;
    Application->SetMainForm(nullptr);
    return status;
}
