// The child elements that wrap a standard control: Button, Label, Image, TextBox and Timer.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/GUIElement.h"

namespace TekuUtility {

// A push button; its Command runs on every WM_COMMAND from its window.
class Button : public Child, public CommandElement {
  public:
    bool ownerDraw = false;

    Button(GUIElement* parentElement, const std::string& caption);
    void Create() override;
    // Paints an owner-drawn button; plain buttons never call it.
    virtual void DrawImage(HDC deviceContext, const platform::RECT& area);

    platform::DWORD WindowStyle() const;
};

// Static text.
class Label : public Child {
  public:
    bool border = false;
    bool alignRight = false;
    bool alignCenter = false;

    Label(GUIElement* parentElement, const std::string& caption);
    void Create() override;

    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;
};

// A bitmap shown by a static control, from a file or from the program's resources.
class Image : public Child {
  public:
    platform::HBITMAP bitmap = nullptr;
    std::string fileName;
    std::int32_t resourceId = -1;  // -1: the bitmap comes from fileName
    bool border = false;

    Image(GUIElement* parentElement, const std::string& file);
    Image(GUIElement* parentElement, std::int32_t resource);
    ~Image() override;

    // Switches to file mode; on a created image loads the file and shows it. On an image not
    // yet created the name is kept, so Create loads it.
    void SetImageFile(const std::string& file);
    // Switches to resource mode; on a created image with an id above 0 loads and shows it.
    void SetImageResource(std::int32_t resource);
    void Create() override;

    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;

  private:
    // Shows a freshly loaded bitmap and deletes the one it replaces; a failed load (none)
    // keeps the current one and only reads the error code.
    void ShowLoaded(void* loaded);
};

// An edit control with style switches.
class TextBox : public Child {
  public:
    std::int32_t maxLength = -1;  // -1: no limit
    bool multiLine = false;
    bool horizontalScrollBar = false;
    bool verticalScrollBar = false;
    bool readOnly = false;
    bool numbersOnly = false;
    bool password = false;
    bool lowerCase = false;
    bool upperCase = false;
    bool alignRight = false;
    bool alignCenter = false;
    bool border = true;
    bool noWrap = false;
    // Accepts only characters a narrow string keeps (one byte each), refusing others.
    bool narrowOnly = false;

    TextBox(GUIElement* parentElement, const std::string& content);
    void SetMaxLength(std::int32_t length);
    // Re-applies the style switches to a created box; does nothing before Create.
    void ApplyStyle();
    void Create() override;

    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;
};

// A periodic tick: SetTimer on the parent's window with the id of a hidden static window;
// the window procedure raises Tick on each WM_TIMER.
class Timer : public Child {
  public:
    bool running = false;
    std::int32_t interval = 0;  // milliseconds
    ElementHandler Tick = nullptr;

    Timer(GUIElement* parentElement, std::int32_t milliseconds);
    ~Timer() override;

    // Creates the hidden window on first use and starts the platform timer; no-op if running.
    void Start();
    // Kills the platform timer; no-op if idle. The id is kept for the next Start.
    void Stop();
    void Create() override;
};

}  // namespace TekuUtility
