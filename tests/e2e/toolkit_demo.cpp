// A small toolkit program in a real window, driven from outside by the end-to-end test: a
// form with a menu bar ("&File": "&Saluta", "&Nome", "&Esci"), a button and an edit box;
// "&Nome" opens the toolkit's name dialog over the form. It writes one line per event to
// standard output ("at <name> <x> <y>" for the screen points to click, then "ready",
// "button <edit text>", "text <edit text>", "menu saluta", "dialog open", "name <name>",
// "app 0|1" when the program loses or gets back the keyboard, "minimized 1|0", "closing",
// "end").
#include <cstdio>
#include <string>

#include "platform/sdlwin/sdl_backend.h"
#include "platform/win/backend.h"
#include "platform/win/win32.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/FormNamePlayer.h"
#include "toolkit/Menus.h"
#include "toolkit/WindowProcedure.h"

namespace pf = platform;
using namespace TekuUtility;

namespace {

// Handlers are plain functions: what they need is kept here.
struct Demo {
    Form* form = nullptr;
    TextBox* box = nullptr;
    Button* button = nullptr;
    FormNamePlayer* dialog = nullptr;
};

Demo& State() {
    static Demo demo;
    return demo;
}

void Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void OpenNameDialog(GUIElement*) {
    Demo& d = State();
    delete d.dialog;
    d.dialog = new FormNamePlayer(d.form, nullptr, "Nome");
    d.dialog->Destroyed = [](GUIElement*) { Report("name " + PlayerName); };
    d.dialog->SetPrompt("Il tuo nome:");
    // Over the form's lower right part: its button stays uncovered, to be clicked.
    d.dialog->SetLocation(d.form->left + 150, d.form->top + 110);
    d.dialog->Show();
    Report("dialog open");
}

void ReportPoint(const char* name, GUIElement& element, int x, int y) {
    pf::POINT p{x, y};
    pf::ClientToScreen(element.handle, &p);
    std::printf("at %s %d %d\n", name, static_cast<int>(p.x), static_cast<int>(p.y));
}

}  // namespace

int main() {
    std::string error;
    if (!pf::sdlwin::Install(&error)) {
        std::fprintf(stderr, "no display: %s\n", error.c_str());
        return 2;
    }

    Form form(nullptr);
    form.SetText("Demo del toolkit");
    form.SetLocation(100, 80);
    form.SetSize(360, 240);
    form.Closing = [](GUIElement*) {
        Report("closing");
        return true;
    };
    form.ApplicationActivated = [](GUIElement*, bool active) {
        Report(active ? "app 1" : "app 0");
    };
    form.Minimized = [](GUIElement*, bool minimized) {
        Report(minimized ? "minimized 1" : "minimized 0");
    };
    form.Create();
    State().form = &form;

    MenuBar bar(&form);
    Menu file(&bar, "&File");
    SubMenu hello(&file, "&Saluta");
    hello.Command = [](GUIElement*) { Report("menu saluta"); };
    SubMenu name(&file, "&Nome");
    name.Command = &OpenNameDialog;
    SubMenu quit(&file, "&Esci");
    quit.Command = [](GUIElement*) { pf::PostMessageW(State().form->handle, pf::WM_CLOSE, 0, 0); };
    bar.Create();

    Button button(&form, "Premi");
    button.SetLocation(20, 20);
    button.SetSize(100, 30);
    button.Command = [](GUIElement*) { Report("button " + State().box->GetTextA()); };
    button.Create();
    State().button = &button;

    TextBox box(&form, "");
    box.SetLocation(20, 70);
    box.SetSize(200, 24);
    box.TextChanged = [](GUIElement* e) { Report("text " + e->GetTextA()); };
    box.Create();
    State().box = &box;

    // Once the window is up: where to click, then ready.
    Timer ready(&form, 150);
    ready.Tick = [](GUIElement* e) {
        static_cast<Timer*>(e)->Stop();
        Demo& d = State();
        ReportPoint("button", *d.button, 50, 15);
        ReportPoint("edit", *d.box, 100, 12);
        // The menu strip lies just above the client area; "File" is its first title.
        ReportPoint("menu", *d.form, 16, -pf::GetSystemMetrics(pf::SM_CYMENU) / 2);
        Report("ready");
    };
    ready.Start();

    RunMessageLoop(&form);
    delete State().dialog;
    State().dialog = nullptr;
    std::printf("end\n");
    std::fflush(stdout);
    pf::sdlwin::Uninstall();
    return 0;
}
