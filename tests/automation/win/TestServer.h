#pragma once
// The class the round-trip test creates by ProgID.
#define TAVIMO_TEST_SERVER_CLSID "{6F1C2A4E-8B3D-4E57-9A10-3C5D7E9F0B21}"
#define TAVIMO_TEST_SERVER_PROGID "Tavimo.TestServer"
#define TAVIMO_TEST_SERVER_VERSIONED "Tavimo.TestServer.11"
