#include "support/EditedLevel.h"

#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/Packet.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/ProfileData.h"

std::vector<std::uint8_t> EditedLevel::save(int levelNumber,
                                            const std::function<void(GameServer&, GameController&)>& change)
{
    const UString file = ProfileData::levelNumberToFile(levelNumber);
    if (!Kiv::instance()->fileManager->exists(file)) {
        return {};
    }
    // Put back once the editing server has gone (as the current role, as it must).
    struct RoleBack {
        NetRole* previous;
        ~RoleBack() { THEROLE = previous; }
    } roleBack{THEROLE};
    FileBlock block(0, file);
    Packet in(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, static_cast<int>(block.size()));
    in.doBytes(const_cast<std::uint8_t*>(block.data()), block.size());
    in.rewindToRead();
    GameServer server(2, 4, u"TobbleXmasdemo", 1.25, u"");
    server.connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
    server.bOwnsConnection = true;
    server.bEditing = true;
    server.start(&in);
    THEROLE = &server;
    change(server, *static_cast<MyRootObject*>(server.root)->gameController);
    THEROLE = &server;
    Packet out(Packet::FLAG_COMMANDS | Packet::FLAG_STORED);
    server.writeFullState(out);
    return std::vector<std::uint8_t>(out.data(), out.data() + out.size());
}
