// Shared plumbing of the stand-in's automation objects: every access is
// counted against the host, may be failed by the failure plan, and fails
// once the application has been closed. Also the argument checks AutoCAD
// applies and the factories of the concrete objects.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "automation/object.h"
#include "standins/autocad/standin_cad.h"

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
    std::vector<Variant> Enumerate() final;

  protected:
    // Unknown members fail with the unknown-name status.
    virtual Variant DoGet(std::string_view member, std::span<const Variant> args);
    virtual void DoPut(std::string_view member, std::span<const Variant> args,
                       const Variant& value);
    virtual Variant DoCall(std::string_view member, std::span<const Variant> args);
    virtual std::vector<Variant> DoEnumerate();

    CadHost& Host() const { return *host_; }
    const std::shared_ptr<CadHost>& SharedHost() const { return host_; }

  private:
    void Enter(std::string_view access, std::string_view member);

    std::shared_ptr<CadHost> host_;
};

// Argument checks. Counts outside [min, max] fail with the bad-parameter-
// count status; a point must be an array of three doubles.
void ExpectArgs(std::span<const Variant> args, std::size_t min, std::size_t max);
Point3 PointArg(const Variant& value);
Variant PointValue(Point3 point);
double NumberArg(const Variant& value);
int IntegerArg(const Variant& value);
bool BoolArg(const Variant& value);

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

}  // namespace velmora::standins
