// answers.h — what the scripted user will do when the plugin asks.
//
// Messages, dialogs, menus, input boxes and editor sessions each take the
// next answer of their own kind, first in first out.  When none is queued
// the call is cancelled as with Esc (the editor leaves the file as it is).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

// A button, menu entry or dialog field named by index or by its text.
struct Choice {
  bool byIndex = false;
  int index = -1;
  std::string label;
  std::string Describe() const;
};

struct MessageAnswer {
  bool cancel = false;
  Choice button;
  // Only for a message that has this button: any other message leaves the
  // answer queued and is cancelled as if none were.
  bool onlyWithButton = false;
};

struct DialogField {
  Choice item;          // index, or label of the field (text before an edit, a check box's own text)
  std::string value;    // edit text; for check boxes 0/1/2 (also on/off)
};

struct DialogAnswer {
  bool cancel = false;
  std::vector<DialogField> fields;
  std::optional<Choice> button;  // none: the default button
};

struct MenuAnswer {
  bool cancel = false;
  Choice entry;
  std::string breakKey;  // a key name from the menu's break keys, or empty
};

struct InputAnswer {
  bool cancel = false;
  std::string text;
};

struct EditorAnswer {
  bool save = false;        // false: leave the file unchanged
  std::string content;      // the whole new text when saving
  std::string fault = {};   // an OCI stand-in fault plan armed as the editor closes
};

class Answers {
 public:
  void Add(MessageAnswer a) { messages_.push_back(std::move(a)); }
  void Add(DialogAnswer a) { dialogs_.push_back(std::move(a)); }
  void Add(MenuAnswer a) { menus_.push_back(std::move(a)); }
  void Add(InputAnswer a) { inputs_.push_back(std::move(a)); }
  void Add(EditorAnswer a) { editors_.push_back(std::move(a)); }

  std::optional<MessageAnswer> NextMessage() { return Pop(messages_); }
  void PutBack(MessageAnswer a) { messages_.push_front(std::move(a)); }
  std::optional<DialogAnswer> NextDialog() { return Pop(dialogs_); }
  std::optional<MenuAnswer> NextMenu() { return Pop(menus_); }
  std::optional<InputAnswer> NextInput() { return Pop(inputs_); }
  std::optional<EditorAnswer> NextEditor() { return Pop(editors_); }

  // "message 1, dialog 2" for the answers not used yet; empty when none.
  std::string Pending() const;
  std::size_t PendingDialogs() const { return dialogs_.size(); }
  void Clear();

 private:
  template <class T>
  static std::optional<T> Pop(std::deque<T>& q) {
    if (q.empty()) return std::nullopt;
    T v = std::move(q.front());
    q.pop_front();
    return v;
  }
  std::deque<MessageAnswer> messages_;
  std::deque<DialogAnswer> dialogs_;
  std::deque<MenuAnswer> menus_;
  std::deque<InputAnswer> inputs_;
  std::deque<EditorAnswer> editors_;
};

}  // namespace hostsim
