// The panel's game-info file: the scene rotation and the camera position kept as one
// MY_GAME_INFO object named "Dati" in "data\file.x" under the current folder.
#include <string_view>

#include "panel3d/D3DPanelEx.h"
#include "panel3d/GameInfoTemplate.h"
#include "platform/files.h"
#include "platform/xfile/reader.h"
#include "platform/xfile/writer.h"

namespace TekuUtility {

namespace xf = platform::xfile;

namespace {

// "<current folder>\data", made when missing; the file path inside it.
std::string GameInfoPath() {
    std::string folder = platform::CurrentDirectory();
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) {
        folder += '\\';
    }
    folder += "data";
    if (!platform::DirectoryExists(folder)) {
        platform::CreateFolder(folder);
    }
    return folder + "\\file.x";
}

bool RegisterGameInfoTemplate(xf::TemplateRegistry* registry, xf::Guid* guid) {
    return registry->RegisterTemplates(GameInfoTemplateText(), "MY_GAME_INFO").ok &&
           xf::Guid::Parse(kGameInfoGuid, guid);
}

void SetNumber(xf::XDataObject* object, std::string_view field, double value) {
    if (xf::XValue* v = object->data.Field(field)) {
        *v = xf::XValue::Float(static_cast<float>(value));
        v->name = std::string(field);
    }
}

void SetValue(xf::XDataObject* object, std::string_view field, xf::XValue value) {
    if (xf::XValue* v = object->data.Field(field)) {
        value.name = std::string(field);
        *v = std::move(value);
    }
}

double FieldAsFloat(const xf::XDataObject& object, std::string_view field) {
    const xf::XValue* v = object.data.Field(field);
    return v ? static_cast<double>(static_cast<float>(v->AsFloat())) : 0.0;
}

}  // namespace

bool D3DPanelEx::saveGameInfo() {
    xf::TemplateRegistry registry;
    xf::Guid guid;
    if (!RegisterGameInfoTemplate(&registry, &guid)) {
        return false;
    }
    const std::string path = GameInfoPath();
    xf::XDataObject object;
    if (!xf::MakeDataObject(registry, guid, "Dati", &object)) {
        return false;
    }
    SetValue(&object, "GameName", xf::XValue::String("D3DPanelEx"));
    SetValue(&object, "GameMaker", xf::XValue::String("Teku"));
    SetValue(&object, "Version", xf::XValue::Int(1));
    SetNumber(&object, "x", sceneRotation.pitch);
    SetNumber(&object, "y", sceneRotation.yaw);
    SetNumber(&object, "z", sceneRotation.roll);
    SetNumber(&object, "px", cameraX);
    SetNumber(&object, "py", cameraY);
    SetNumber(&object, "pz", cameraZ);
    // False as well when nothing could be written (a value the text form cannot hold).
    return xf::SaveXFile(path, {object}, registry).ok;
}

bool D3DPanelEx::loadGameInfo() {
    xf::TemplateRegistry registry;
    xf::Guid guid;
    if (!RegisterGameInfoTemplate(&registry, &guid)) {
        return false;
    }
    const std::string path = GameInfoPath();
    if (!platform::FileExists(path)) {
        return true;
    }
    xf::XDocument document;
    if (!xf::ReadXFile(path, &registry, &document)) {
        return false;
    }
    for (const xf::XDataObject& object : document.objects) {
        if (object.isReference || object.templateGuid != guid) {
            continue;
        }
        sceneRotation.pitch = FieldAsFloat(object, "x");
        sceneRotation.yaw = FieldAsFloat(object, "y");
        sceneRotation.roll = FieldAsFloat(object, "z");
        cameraX = FieldAsFloat(object, "px");
        cameraY = FieldAsFloat(object, "py");
        cameraZ = FieldAsFloat(object, "pz");
    }
    return true;
}

}  // namespace TekuUtility
