// The application object: the hidden application window that owns every
// window and message box of the program, the application title, the main
// window rule, and the pumping of pending window messages.
#pragma once

#include "runtime/Handles.h"
#include "runtime/Window.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Exception;

class TApplication {
public:
  TApplication();
  // Destroys the forms it owns, the newest first, then the hidden window.
  ~TApplication();

  // Creates a form the application owns: it lives until the application
  // goes, which is when the program halts.
  template <typename TFormClass>
  TFormClass* CreateForm() {
    auto form = std::make_unique<TFormClass>();
    TFormClass* created = form.get();
    forms_.push_back(std::move(form));
    return created;
  }

  // The hidden application window.
  HWND Handle() const { return window_.get(); }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // The first window registered becomes the main window.
  void RegisterForm(HWND form);
  HWND MainForm() const { return mainForm_; }

  // The hidden application window is the program's taskbar entry while any
  // window it owns is visible: shown (without size, so nothing of it is on
  // the screen) or hidden to match. Windows call it when they are shown or
  // hidden.
  void UpdateTaskbarEntry();

  // Posts a quit message; the pump drops it.
  void Terminate();

  // Dispatches every message waiting in the thread's queue, then returns.
  // A failure raised while a message was dispatched is reported with
  // ShowException and pumping goes on.
  void ProcessMessages();

  // The box for a failure raised during message dispatch: owned by the
  // hidden application window, the title as caption, the error icon, OK.
  void ShowException(const Exception& failure);

  // Message box owned by the hidden application window.
  int ShowMessageBox(const char* text, const char* caption, UINT flags);

  // Runs a window procedure body; a failure it raises is kept (not thrown
  // through the platform's frames) and raised again after dispatch.
  template <typename F>
  LRESULT Guarded(F&& body) {
    try {
      return std::forward<F>(body)();
    } catch (...) {
      if (!pending_) pending_ = std::current_exception();
      return 0;
    }
  }

  // Raises a failure kept by Guarded, if there is one.
  void RaisePending();

private:
  bool ProcessMessage(MSG& message);

  UniqueWindow window_;
  std::vector<std::unique_ptr<Window>> forms_;  // in the order they were created
  HWND mainForm_ = nullptr;
  std::string title_;
  std::exception_ptr pending_;
};

// The program's one application object, created at the start of the program.
extern TApplication* Application;
