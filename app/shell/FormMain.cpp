#include "app/shell/FormMain.h"

#include "app/shell/DataFolder.h"
#include "app/shell/StateTrace.h"
#include "app/shell/TitleScene.h"
#include "game/DataFiles.h"
#include "game/GameInput.h"
#include "game/Level1.h"
#include "game/Level2.h"
#include "game/Level34.h"
#include "game/LevelBuilders.h"
#include "game/PlayerControl.h"
#include "kx_version.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/msgbox.h"
#include "platform/session_end.h"
#include "platform/win/win32.h"
#include "services/HighScoreStore.h"
#include "toolkit/CellControl.h"
#include "toolkit/Controls.h"
#include "toolkit/FormAbout.h"
#include "toolkit/FormNamePlayer.h"
#include "toolkit/Menus.h"
#include "toolkit/OpenDocument.h"

namespace MyApp {

namespace pf = platform;
using TekuUtility::GUIElement;

FormMain* mainForm = nullptr;

namespace {

// The pictures every game shows, checked once at start.
constexpr const char* kLevelPictures[] = {
    "\\Livello1.bmp", "\\LivelloCompletato.bmp", "\\GiocoCompletato.bmp", "\\gameover.bmp",
    "\\Livello2.bmp", "\\Livello3.bmp",          "\\Livello4.bmp",        "\\Livello5.bmp",
    "\\Livello6.bmp", "\\Livello7.bmp",
};

constexpr const char* kAboutTitle = "Kryx Space " KX_VERSION;
constexpr const char* kAboutCopyright = "Copyright (c) 2021 Kryx Space team";
// Latin-1 bytes: the toolkit widens narrow text byte by byte.
constexpr const char* kAboutNotice =
    "Gioco gratuito: puoi usarlo e copiarlo liberamente per uso personale.\r\n"
    "Non pu\xF2 essere venduto n\xE9 distribuito modificato.";

TickState& TheTickState() {
    static TickState state;
    return state;
}

// The FormMain an element belongs to: the first one up its parent chain, else the main form.
FormMain* FindFormMain(GUIElement* element) {
    for (GUIElement* e = element; e != nullptr; e = e->parent) {
        if (!TekuUtility::IsLiveElement(e)) {
            break;
        }
        if (auto* form = dynamic_cast<FormMain*>(e)) {
            return form;
        }
    }
    return mainForm;
}

void RouteLoad(GUIElement* element) {
    if (FormMain* form = FindFormMain(element)) {
        form->OnLoad();
    }
}

bool RouteClosing(GUIElement* element) {
    FormMain* form = FindFormMain(element);
    return form == nullptr || form->CanClose();
}

bool RouteKeyPress(GUIElement* element, wchar_t character) {
    FormMain* form = FindFormMain(element);
    return form == nullptr || form->OnChar(character);
}

void RouteCommand(GUIElement* item) {
    if (FormMain* form = FindFormMain(item)) {
        form->OnCommand(item);
    }
}

void RouteTick(GUIElement* timer) {
    if (FormMain* form = FindFormMain(timer)) {
        form->OnTimer();
    }
}

bool RouteHit(GUIElement* owner, std::int32_t value) {
    FormMain* form = FindFormMain(owner);
    return form != nullptr && form->OnHit(value);
}

// The name form's window went away: its owner registers the result.
void NameFormDestroyed(GUIElement* element) {
    auto* nameForm = static_cast<TekuUtility::FormNamePlayer*>(element);
    if (FormMain* form = FindFormMain(nameForm->owner)) {
        form->RegisterResult();
    }
}

bool SameId(const GUIElement* a, const GUIElement* b) {
    return a != nullptr && b != nullptr && a->id == b->id;
}

// The main window's procedure: sees the focus and minimise messages first, then passes every
// message on to the toolkit's procedure.
pf::LRESULT MainWindowProcedure(pf::HWND window, pf::UINT message, pf::WPARAM wParam,
                                pf::LPARAM lParam) {
    auto* form = dynamic_cast<FormMain*>(TekuUtility::FindElementByHandle(window));
    if (form == nullptr) {
        return pf::DefWindowProcW(window, message, wParam, lParam);
    }
    const pf::WNDPROC next = form->ToolkitProcedure();
    if (message == pf::WM_ACTIVATEAPP) {
        form->OnAppActivate(wParam != pf::FALSE);
    } else if (message == pf::WM_SIZE) {
        form->OnMinimize(wParam == pf::SIZE_MINIMIZED);
    }
    // The form may be gone now; the toolkit's procedure copes with a window without one.
    return pf::CallWindowProcW(next, window, message, wParam, lParam);
}

}  // namespace

void ResetTickStateForTesting() {
    TheTickState() = TickState{};
}

FormMain::FormMain(TekuUtility::HINSTANCE instance, const std::string& dataFolder,
                   const std::string& title, const Settings& initialSettings)
    : Form(instance), settings(initialSettings), formFont("Lucida Console", 14) {
    fields.dataFolder = dataFolder;
    fields.joystickEnabled = settings.joystick;
    ApplySoundLevel();
    font = &formFont;
    left = 0;
    top = 0;
    SetSize(640, 505);
    keyPreview = true;
    SetText(title);
    minimizeBox = true;
    maximizeBox = false;
    Load = &RouteLoad;
    Closing = &RouteClosing;
    KeyPress = &RouteKeyPress;

    Create();
    fields.mainWindow = handle;
    if (handle != nullptr) {
        toolkitProcedure_ = reinterpret_cast<pf::WNDPROC>(pf::SetWindowLongPtrW(
            handle, pf::GWLP_WNDPROC, reinterpret_cast<pf::LONG_PTR>(&MainWindowProcedure)));
    }
    SetClientSize(640, 505);
    SetIcon(kIconId);
    pf::SendMessageW(handle, pf::WM_SETFONT, reinterpret_cast<pf::WPARAM>(formFont.GetHandle()),
                     pf::TRUE);

    for (const char* picture : kLevelPictures) {
        CheckDataFile(fields, fields.dataFolder + picture);
    }
    if (mainForm == nullptr) {
        mainForm = this;
    }
}

FormMain::~FormMain() {
    tearingDown_ = true;
    if (toolkitProcedure_ != nullptr && pf::IsWindow(handle)) {
        pf::SetWindowLongPtrW(handle, pf::GWLP_WNDPROC,
                              reinterpret_cast<pf::LONG_PTR>(toolkitProcedure_));
    }
    if (created && pf::IsWindow(handle)) {
        // The program is ending: the window goes without the exit question.
        fields.closeRequested = true;
        pf::SendMessageW(handle, pf::WM_CLOSE, 0, 0);
    }
    created = false;

    aboutForm.reset();
    menuItems_.Clear();
    menuBar = nullptr;
    fileMenu = optionsMenu = helpMenu = nullptr;
    exitItem = joystickItem = helpItem = homeItem = infoItem = audioItem = muteItem = nullptr;
    volumeItems.fill(nullptr);
    font = nullptr;
    formFont.Release();

    if (fields.timer != nullptr && fields.timer->running) {
        fields.timer->Stop();
    }
    if (nameForm != nullptr) {
        DropNameForm(false);
    }
    gameElements_.Clear();
    fields.timer = nullptr;
    fields.statusBar = nullptr;
    fields.banner = nullptr;
    fields.panel = nullptr;
    if (mainForm == this) {
        mainForm = nullptr;
    }
}

void FormMain::Render() {
    if (fields.panel != nullptr) {
        fields.panel->renderFrame();
    }
}

void FormMain::OnLoad() {
    using namespace TekuUtility;
    fields.mainWindow = handle;

    menuBar = menuItems_.Make<MenuBar>(this);
    fileMenu = menuItems_.Make<Menu>(menuBar, "&File");
    exitItem = menuItems_.Make<SubMenu>(fileMenu, "&Esci");
    optionsMenu = menuItems_.Make<Menu>(menuBar, "&Opzioni");
    joystickItem = menuItems_.Make<SubMenu>(optionsMenu, "&Abilita Joystick");
    joystickItem->SetCheckable(true);
    joystickItem->SetChecked(fields.joystickEnabled);
    BuildAudioMenu();
    helpMenu = menuItems_.Make<Menu>(menuBar, "&?");
    helpItem = menuItems_.Make<SubMenu>(helpMenu, "&Guida");
    homeItem = menuItems_.Make<SubMenu>(helpMenu, "&Home");
    infoItem = menuItems_.Make<SubMenu>(helpMenu, "&Info...");
    for (SubMenu* item : {exitItem, joystickItem, helpItem, homeItem, infoItem}) {
        item->Command = &RouteCommand;
    }
    muteItem->Command = &RouteCommand;
    for (SubMenu* item : volumeItems) {
        item->Command = &RouteCommand;
    }
    menuBar->Create();

    pf::RECT client{};
    if (pf::GetClientRect(handle, &client)) {
        width = client.right - client.left;
        height = client.bottom - client.top;
    }

    auto* panel = gameElements_.Make<D3DPanelEx>(this);
    fields.panel = panel;
    panel->SetSize(640, 480);
    panel->SetLocation(0, 0);
    panel->border = true;
    panel->SetBackColor(pf::RGB(0, 0, 0));
    panel->hitCallback = &RouteHit;
    panel->backgroundImageFile = fields.dataFolder + "\\sfondo.png";
    panel->Create();
    if (panel->handle != nullptr) {
        pf::SetWindowLongW(panel->handle, pf::GWL_STYLE,
                           static_cast<pf::LONG>(panel->WindowStyle()));
        pf::SetWindowPos(panel->handle, nullptr, 0, 0, 0, 0,
                         pf::SWP_NOMOVE | pf::SWP_NOSIZE | pf::SWP_NOZORDER | pf::SWP_FRAMECHANGED);
    }

    auto* banner = gameElements_.Make<Image>(this, fields.dataFolder + "\\Livello1.bmp");
    fields.banner = banner;
    banner->SetSize(640, 480);
    banner->SetLocation(0, 0);
    banner->Create();
    banner->Hide();

    auto* statusBar = gameElements_.Make<CellControl>(this);
    fields.statusBar = statusBar;
    statusBar->SetSize(640, 25);
    statusBar->SetBackColor(pf::RGB(0, 0, 0));
    statusBar->textColor = pf::RGB(0, 255, 0);
    statusBar->SetLocation(0, 481);
    statusBar->border = true;
    statusBar->Create();

    fields.highScores = HighScoreStore(kScoreFolder).Load();

    auto* timer = gameElements_.Make<Timer>(this, 30);
    fields.timer = timer;
    timer->Tick = &RouteTick;
    if (!timer->running) {
        timer->Start();
    }

    BuildTitleScene();
}

bool FormMain::CanClose() {
    if (!fields.closeRequested) {
        const int answer = pf::MessageBoxA(nullptr, "Vuoi realmente uscire?", "Uscita",
                                           pf::MB_TASKMODAL | pf::MB_ICONQUESTION | pf::MB_YESNO);
        if (answer != pf::IDYES) {
            return false;
        }
    }
    if (fields.timer != nullptr && fields.timer->running) {
        fields.timer->Stop();
    }
    return true;
}

void FormMain::OnTimer() {
    // Checked before the tick's re-entry guard, so that it is seen inside a message box too.
    if (pf::SessionEndRequested()) {
        EndSession();
        return;
    }
    PollGamepads();
    // A level that began while minimised (after a level-complete picture) is paused at once.
    if (minimized_) {
        PauseRunningLevel();
    }
    RunTick(TheTickState(), fields, driver_);
    if (trace_ != nullptr) {
        trace_->Sample(*this);
    }
}

bool FormMain::OnChar(wchar_t character) {
    if (character == 0x70) {
        TogglePause();
    } else if (character == L'm' || character == L'M') {
        ToggleMute();
    }
    return true;
}

void FormMain::TogglePause() {
    if (fields.paused && minimized_) {
        return;
    }
    fields.paused = !fields.paused;
}

void FormMain::PauseRunningLevel() {
    if (fields.levelRunning && !fields.paused) {
        TogglePause();
    }
}

void FormMain::OnAppActivate(bool active) {
    if (!active) {
        PauseRunningLevel();
    }
}

void FormMain::OnMinimize(bool minimized) {
    minimized_ = minimized;
    if (minimized) {
        PauseRunningLevel();
    }
}

void FormMain::OnCommand(GUIElement* item) {
    if (SameId(item, exitItem)) {
        pf::SendMessageW(handle, pf::WM_CLOSE, 0, 0);
    } else if (SameId(item, homeItem) || SameId(item, helpItem)) {
        TekuUtility::OpenDocument(FileAddress(fields.dataFolder + kHelpPage));
    } else if (SameId(item, infoItem)) {
        ShowAbout();
    } else if (SameId(item, joystickItem)) {
        fields.joystickEnabled = joystickItem->IsChecked();
        settings.joystick = fields.joystickEnabled;
        SaveSettingsFile();
    } else {
        OnOptionCommand(item);
    }
}

void FormMain::ShowAbout() {
    // The old dialog goes first, so that it hands the owner back before the new one takes it.
    aboutForm.reset();
    aboutForm = std::make_unique<TekuUtility::FormAbout>(this);
    aboutForm->pictureId = kAboutPictureId;
    aboutForm->pictureWidth = 164;
    aboutForm->pictureHeight = 50;
    aboutForm->titleText = kAboutTitle;
    aboutForm->subtitleText = kAboutCopyright;
    aboutForm->noticeText = kAboutNotice;
    aboutForm->webAddress = kAboutAddress;
    Focus();
    aboutForm->Show();
}

void FormMain::BuildTitleScene() {
    MyApp::BuildTitleScene(fields);
}

void FormMain::OpenNameEntry() {
    fields.levelRunning = false;
    if (fields.score <= 0) {
        return;
    }
    if (nameForm != nullptr) {
        DropNameForm(true);
    }
    pending.Capture(fields.score, fields.reachedLevel);
    nameForm = std::make_unique<TekuUtility::FormNamePlayer>(this, instance, "Classifica");
    nameForm->Destroyed = &NameFormDestroyed;
    nameForm->SetIcon(kIconId);
    nameForm->SetPrompt("Inserisci il tuo nome:");

    pf::RECT outer{};
    pf::RECT own{};
    pf::GetWindowRect(handle, &outer);
    pf::GetWindowRect(nameForm->handle, &own);
    const int x = outer.left + ((outer.right - outer.left) - (own.right - own.left)) / 2;
    const int y = outer.top + ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2;
    nameForm->SetLocation(x, y);
    nameForm->Show();
}

void FormMain::RegisterResult() {
    HighScoreStore store(kScoreFolder);
    if (auto result = pending.Take()) {
        store.Register(result->score, RegistrationText(TekuUtility::PlayerName, result->level));
    }
    fields.highScores = store.Load();
    if (!tearingDown_) {
        BuildTitleScene();
    }
}

void FormMain::DropNameForm(bool showTable) {
    // Deleting the form closes its window; the registration is done here instead of by its
    // going-away handler, which would run while the form is half destroyed.
    nameForm->Destroyed = nullptr;
    nameForm.reset();
    if (pending.Waiting()) {
        const bool wasTearingDown = tearingDown_;
        tearingDown_ = tearingDown_ || !showTable;
        RegisterResult();
        tearingDown_ = wasTearingDown;
    }
}

bool FormMain::OnHit(std::int32_t) {
    return false;
}

// ---------------------------------------------------------------------------------------

bool FormMain::TickDriver::UpdateLevel(int level, const Timestamp& now) {
    switch (level) {
        case 1:
            return UpdateLevel1(form_.fields, now);
        case 2:
            return UpdateLevel2(form_.fields, now);
        case 3:
            return UpdateLevel3(form_.fields, now);
        case 4:
            return UpdateLevel4(form_.fields, now);
        default:
            return true;
    }
}

void FormMain::TickDriver::ControlPlayer(const Timestamp& now) {
    MyApp::ControlPlayer(form_.fields, now);
}

void FormMain::TickDriver::ControlAstronaut(const Timestamp& now) {
    MyApp::ControlAstronaut(form_.fields, now);
}

void FormMain::TickDriver::BuildLevel(int level) {
    switch (level) {
        case 1:
            BuildLevel1(form_.fields);
            break;
        case 2:
            BuildLevel2(form_.fields);
            break;
        case 3:
            BuildLevel3(form_.fields);
            break;
        case 4:
            BuildLevel4(form_.fields);
            break;
        default:
            break;
    }
    pf::SetCursorIdleHiding(pf::TRUE);  // the pointer may rest out of sight while a level runs
}

bool FormMain::TickDriver::StartPressed() {
    return ReadInput(form_.fields).start;
}

void FormMain::TickDriver::BuildTitleScene() {
    pf::SetCursorIdleHiding(pf::FALSE);
    form_.BuildTitleScene();
}

void FormMain::TickDriver::OpenNameEntry() {
    pf::SetCursorIdleHiding(pf::FALSE);
    form_.OpenNameEntry();
}

void FormMain::TickDriver::Render() {
    form_.Render();
}

bool FormMain::TickDriver::CloseMainWindow() {
    pf::SendMessageW(form_.handle, pf::WM_CLOSE, 0, 0);
    if (pf::IsWindow(form_.handle)) {
        return false;
    }
    form_.created = false;
    return true;
}

void FormMain::TickDriver::LoadBanner(const std::string& path) {
    if (form_.fields.banner != nullptr) {
        form_.fields.banner->SetImageFile(path);
    }
}

void FormMain::TickDriver::ShowBanner(bool show) {
    if (auto* banner = form_.fields.banner) {
        show ? banner->Show() : banner->Hide();
    }
}

void FormMain::TickDriver::ShowPanel(bool show) {
    if (auto* panel = form_.fields.panel) {
        show ? panel->Show() : panel->Hide();
    }
}

std::string FormMain::TickDriver::GetStatusText() {
    return form_.fields.statusBar != nullptr ? form_.fields.statusBar->GetTextA() : std::string();
}

void FormMain::TickDriver::SetStatusText(const std::string& text) {
    if (form_.fields.statusBar != nullptr) {
        form_.fields.statusBar->SetText(text);
    }
}

}  // namespace MyApp
