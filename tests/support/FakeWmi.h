// A scripted double of WMI: the adapters that the adapter query returns and, per Index text,
// the configurations of the configuration query. It keeps a log of every call in order
// (joining and leaving COM, connecting, queries, property reads, releases) and raises for a
// query text it does not know, for a failing connection and for the query named to fail.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "system/Network.h"
#include "system/Wmi.h"

class TFakeWmi final : public IWmi {
public:
    // A property that is not listed reads as an error.
    using TObject = std::map<std::u16string, TWmiValue>;

    std::vector<TObject> Adapters;
    std::map<std::u16string, std::vector<TObject>> Configurations;  // by Index text
    bool FailConnect = false;
    std::u16string FailingQuery;  // a query that raises

    std::vector<std::string> Log;
    int Initialized = 0;   // Initialize minus Uninitialize calls
    int LiveObjects = 0;   // services, sets and objects not yet released
    int LiveAtUninitialize = -1;

    static TObject Adapter(const std::u16string& index, const std::u16string& name,
                           const std::u16string& guid)
    {
        return {{u"Index", TWmiValue::Scalar(index)},
                {u"Name", TWmiValue::Scalar(name)},
                {u"GUID", TWmiValue::Scalar(guid)}};
    }
    static TObject Configuration(std::vector<std::u16string> addresses)
    {
        return {{u"IPAddress", TWmiValue::Array(std::move(addresses))}};
    }

    void Initialize() override
    {
        Log.push_back("Initialize");
        ++Initialized;
    }
    void Uninitialize() override
    {
        Log.push_back("Uninitialize");
        --Initialized;
        LiveAtUninitialize = LiveObjects;
    }
    std::unique_ptr<IWmiServices> Connect(const std::u16string& server,
                                          const std::u16string& nameSpace) override
    {
        Log.push_back("Connect " + Utf16ToUtf8(server) + " " + Utf16ToUtf8(nameSpace));
        if (FailConnect) throw EAppError(u"connection refused");
        return std::make_unique<TServices>(*this);
    }

private:
    class TCounted {
    public:
        TCounted(TFakeWmi& owner, std::string name) : FOwner(owner), FName(std::move(name))
        {
            ++FOwner.LiveObjects;
        }
        virtual ~TCounted()
        {
            --FOwner.LiveObjects;
            FOwner.Log.push_back("Release " + FName);
        }

    protected:
        TFakeWmi& FOwner;
        std::string FName;
    };

    class TObjectDouble final : public IWmiObject, TCounted {
    public:
        TObjectDouble(TFakeWmi& owner, std::string name, TObject properties)
            : TCounted(owner, std::move(name)), FProperties(std::move(properties)) {}
        TWmiValue Read(const std::u16string& property) override
        {
            FOwner.Log.push_back("Read " + FName + " " + Utf16ToUtf8(property));
            const auto found = FProperties.find(property);
            return found == FProperties.end() ? TWmiValue::Error(u"no such property") : found->second;
        }

    private:
        TObject FProperties;
    };

    class TSet final : public IWmiObjectSet, TCounted {
    public:
        TSet(TFakeWmi& owner, std::string name, std::vector<TObject> objects)
            : TCounted(owner, std::move(name)), FObjects(std::move(objects)) {}
        std::unique_ptr<IWmiObject> Next() override
        {
            if (FNext >= FObjects.size()) return nullptr;
            const std::size_t i = FNext++;
            return std::make_unique<TObjectDouble>(FOwner, FName + "[" + std::to_string(i) + "]",
                                                   FObjects[i]);
        }

    private:
        std::vector<TObject> FObjects;
        std::size_t FNext = 0;
    };

    class TServices final : public IWmiServices, TCounted {
    public:
        explicit TServices(TFakeWmi& owner) : TCounted(owner, "services") {}
        std::unique_ptr<IWmiObjectSet> ExecQuery(const std::u16string& query) override
        {
            FOwner.Log.push_back("ExecQuery " + Utf16ToUtf8(query));
            if (query == FOwner.FailingQuery) throw EAppError(u"query failed");
            if (query == kAdapterQuery)
                return std::make_unique<TSet>(FOwner, "adapter", FOwner.Adapters);
            const std::u16string prefix = kConfigurationQuery;
            if (StartsWith(query, prefix)) {
                const std::u16string index = query.substr(prefix.size());
                const auto found = FOwner.Configurations.find(index);
                return std::make_unique<TSet>(
                    FOwner, "configuration" + Utf16ToUtf8(index),
                    found == FOwner.Configurations.end() ? std::vector<TObject>() : found->second);
            }
            throw EAppError(u"invalid query");
        }
    };
};
