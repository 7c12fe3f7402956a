#!/usr/bin/python3
"""A time server for the Windows end-to-end tests: answers SNTP requests on ADDRESS:123 with the
machine's time shifted by OFFSET seconds (stratum 2, a fresh root distance), so that the program
under Wine shows a server time it cannot have taken from the computer clock.

    sntp-responder.py ADDRESS OFFSET
"""
import socket
import struct
import sys
import time

NTP_EPOCH = 2208988800


def ntp64(seconds):
    whole = int(seconds)
    return struct.pack("!II", (whole + NTP_EPOCH) & 0xFFFFFFFF, int((seconds - whole) * 2**32))


def answer(request, received, offset):
    # Leap 0, version 4, server; the request's transmit timestamp comes back as the origin.
    header = struct.pack("!BBbbII4s", 0x24, 2, 6, -20, 0x10, 0x10, b"TEST")
    return header + ntp64(received) + request[40:48] + ntp64(received) + ntp64(time.time() + offset)


def main():
    address, offset = sys.argv[1], float(sys.argv[2])
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind((address, 123))
    print("ready", flush=True)
    while True:
        request, peer = server.recvfrom(512)
        received = time.time() + offset
        if len(request) >= 48:
            server.sendto(answer(request, received, offset), peer)


if __name__ == "__main__":
    main()
