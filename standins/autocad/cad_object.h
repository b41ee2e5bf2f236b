// Shared plumbing of the stand-in's automation objects: every access fails
// once the application has been closed, members an object does not list
// fail as AutoCAD's do. Also AutoCAD's point arguments and the factories of
// the concrete objects.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "automation/object.h"
#include "standins/autocad/standin_cad.h"
#include "standins/member/arguments.h"

namespace velmora::standins {

struct SelectionSetState {
    std::string name;
    std::vector<EntityId> entities;
    bool deleted = false;
};

class CadObject : public Dispatch {
  public:
    explicit CadObject(std::shared_ptr<CadHost> host) : host_(std::move(host)) {}

    Variant Get(std::string_view member, std::span<const Variant> args) final;
    void Put(std::string_view member, std::span<const Variant> args, const Variant& value) final;
    Variant Call(std::string_view member, std::span<const Variant> args) final;
    Variant CallByReference(std::string_view member, std::span<Variant> args) final;
    std::vector<Variant> Enumerate() final;
    // Each object lists its members in a table of its own, one name a line;
    // a name it does not list fails with the unknown-name status before any
    // access, in-process as through COM's GetIDsOfNames.
    bool HasMember(std::string_view member) const override = 0;

  protected:
    // Unknown members fail with the unknown-name status.
    virtual Variant DoGet(std::string_view member, std::span<const Variant> args);
    virtual void DoPut(std::string_view member, std::span<const Variant> args,
                       const Variant& value);
    virtual Variant DoCall(std::string_view member, std::span<const Variant> args);
    // Members that leave results in their arguments; the others are DoCall's.
    virtual Variant DoCallByReference(std::string_view member, std::span<Variant> args);
    virtual std::vector<Variant> DoEnumerate();

    CadHost& Host() const { return *host_; }
    const std::shared_ptr<CadHost>& SharedHost() const { return host_; }

  private:
    // The application still runs, and the object has the member ("" is the
    // default member, which each object checks itself).
    void Enter(std::string_view member) const;

    std::shared_ptr<CadHost> host_;
};

// A point is an array of three finite doubles.
Point3 PointArg(const Variant& value);
Variant PointValue(Point3 point);

Object NewDocument(const std::shared_ptr<CadHost>& host);
Object NewSelectionSets(const std::shared_ptr<CadHost>& host);
Object NewSelectionSet(const std::shared_ptr<CadHost>& host,
                       std::shared_ptr<SelectionSetState> state);
Object NewModelSpace(const std::shared_ptr<CadHost>& host);
Object NewUtility(const std::shared_ptr<CadHost>& host);
Object NewEntity(const std::shared_ptr<CadHost>& host, EntityId id);

// SelectionSets.Item: by name (case-insensitive) or by 0-based index.
Object SelectionSetItem(const std::shared_ptr<CadHost>& host, const Variant& key);

void DrawingChanged(CadHost& host);
// A line on the command line, as Utility.Prompt and a pick's prompt say it.
void SayOnCommandLine(CadHost& host, std::string text);

}  // namespace velmora::standins
