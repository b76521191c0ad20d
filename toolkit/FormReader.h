// The window description: a text stored as a resource that gives a form's properties and its
// tree of controls, each with class, name, properties and event names:
//
//   object FrmTavrino: TFrmTavrino
//     ClientWidth = 498
//     Caption = 'Tavrino'
//     OnCreate = FormCreate
//     object PnlMain: TCardPanel
//       Align = alClient
//     end
//   end
//
// Values are whole numbers, 'quoted texts' (UTF-8; '' stands for one quote), identifiers, and
// (lists). Reading creates the controls, owned by the form and parented as nested, in the
// order of the text; each event name is looked up through the binder. Each class takes the
// properties the program's window gives it, and each property the values it is given there.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Forms.h"

using TEventBinder = std::function<TNotifyEvent(const std::u16string& HandlerName)>;

// Raises EAppError naming the line for an unknown class, property, value or handler.
void ReadForm(TForm& form, std::string_view description, const TEventBinder& events);

// The named component of the form, of class T; raises EAppError when it is missing or of
// another class.
template <class T>
T* FindAs(TForm& form, const std::u16string& name);

void RaiseMissingComponent(const std::u16string& name);

template <class T>
T* FindAs(TForm& form, const std::u16string& name)
{
    TComponent* component = form.FindComponent(name);
    T* found = component ? KindCast<T>(component->AsControl()) : nullptr;
    if (!found) RaiseMissingComponent(name);
    return found;
}
