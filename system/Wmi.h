// What adapter discovery uses of Windows Management Instrumentation, as an interface: join
// COM, connect to a namespace, run a query text, enumerate its objects and read a property as
// a value, null or an error. The Windows implementation is over the scripting objects of
// "WbemScripting.SWbemLocator" (Wmi_win.cpp); the tests use a scripted double.
#pragma once

#include <memory>
#include <string>
#include <vector>

// One property as read.
struct TWmiValue {
    enum class TKind {
        Null,    // the property exists and holds no value
        Scalar,  // Text holds the value in its text form (numbers as decimal text)
        Array,   // Items holds the elements in their text form
        Error,   // the read failed; Text holds the reason
    };
    TKind Kind = TKind::Null;
    std::u16string Text;
    std::vector<std::u16string> Items;

    static TWmiValue Null() { return {}; }
    static TWmiValue Scalar(std::u16string text) { return {TKind::Scalar, std::move(text), {}}; }
    static TWmiValue Array(std::vector<std::u16string> items)
    {
        return {TKind::Array, {}, std::move(items)};
    }
    static TWmiValue Error(std::u16string reason) { return {TKind::Error, std::move(reason), {}}; }
};

// One object of a query result; released when destroyed.
class IWmiObject {
public:
    virtual ~IWmiObject() = default;
    virtual TWmiValue Read(const std::u16string& property) = 0;
};

// The objects of one query, in the order the service returns them; released when destroyed.
class IWmiObjectSet {
public:
    virtual ~IWmiObjectSet() = default;
    // The next object, or null when the enumeration ends (for whatever reason).
    virtual std::unique_ptr<IWmiObject> Next() = 0;
};

// A connection to one namespace; released when destroyed.
class IWmiServices {
public:
    virtual ~IWmiServices() = default;
    // Runs a query and opens the enumeration of its results. Raises EAppError on failure.
    virtual std::unique_ptr<IWmiObjectSet> ExecQuery(const std::u16string& query) = 0;
};

class IWmi {
public:
    virtual ~IWmi() = default;
    // Joins COM on the calling thread (CoInitialize).
    virtual void Initialize() = 0;
    // Leaves COM again (CoUninitialize, if the join succeeded); once per Initialize, after
    // every object is released.
    virtual void Uninitialize() = 0;
    // Creates the locator and connects to nameSpace on server with the caller's own
    // credentials. Raises EAppError on failure.
    virtual std::unique_ptr<IWmiServices> Connect(const std::u16string& server,
                                                  const std::u16string& nameSpace) = 0;
};
