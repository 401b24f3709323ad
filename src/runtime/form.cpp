#include "runtime/form.h"

#include <utility>

namespace keyhush {

void Control::SetText(std::string text) {
  text_ = std::move(text);
  if (owner_.window()) owner_.window()->ControlChanged(*this);
}

void Control::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  if (owner_.window()) owner_.window()->ControlChanged(*this);
  if (Click) Click();
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (owner_.window()) owner_.window()->ControlChanged(*this);
}

Handle Control::hWnd() {
  owner_.Load();
  return owner_.window()->controlHandle(*this);
}

Handle Control::Picture() {
  owner_.Load();
  return owner_.window()->controlPicture(*this);
}

void Control::UserClicked() {
  if (Click) Click();
}

void Control::UserSetValue(int value) {
  // The window already shows the new state; the event runs whether or not it changed.
  value_ = value;
  if (Click) Click();
}

void Control::UserSelected(int listIndex, std::string text) {
  listIndex_ = listIndex;
  text_ = std::move(text);
  if (Click) Click();
}

void Control::UserMovedMouse(int16_t button, int16_t shift, float x, float y) {
  if (MouseMove) MouseMove(button, shift, x, y);
}

Form::Form(WindowSystem& windows, FormDesign design)
    : windows_(windows), design_(std::move(design)), caption_(design_.caption) {}

Form::~Form() = default;

Control& Form::Add(Control::Design design) {
  return controls_.emplace_back(*this, std::move(design));
}

void Form::Load() {
  if (window_) return;
  window_ = windows_.Create(*this);
  Form_Load();
}

void Form::Show() {
  Load();
  window_->Show();
}

void Form::ShowModal(Form& owner) {
  const Handle ownerWindow = owner.hWnd();
  Load();
  window_->ShowModal(ownerWindow);
}

void Form::Hide() {
  if (window_) window_->Hide();
}

bool Form::Visible() const {
  return window_ && window_->Visible();
}

Handle Form::hWnd() {
  Load();
  return window_->handle();
}

void Form::Unload() {
  if (window_) Close(kCloseFromCode);
}

void Form::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (window_) window_->SetCaption(caption_);
}

void Form::PopupMenu(const Menu& menu, const MenuItem* defaultItem) {
  Load();
  const MenuItem* chosen = window_->TrackPopupMenu(menu, defaultItem);
  if (chosen && chosen->Click) chosen->Click();
}

void Form::CloseRequested(int16_t reason) {
  Close(reason);
}

void Form::Close(int16_t reason) {
  int16_t cancel = 0;
  Form_QueryUnload(cancel, reason);
  if (cancel != 0) return;
  Form_Unload(cancel);
  if (cancel != 0) return;
  // The window goes; the form's declaration stays for the next load.
  auto window = std::move(window_);
}

}  // namespace keyhush
