-- Sieve of Eratosthenes up to one million, five rounds over one array of Booleans.

local N = 1000000
local ROUNDS = 5

local function sieve(flags)
    for i = 2, N do
        flags[i] = true
    end
    local count = 0
    for i = 2, N do
        if flags[i] then
            count = count + 1
            local j = i + i
            while j <= N do
                flags[j] = false
                j = j + i
            end
        end
    end
    return count
end

local function main()
    local flags = {}
    for i = 0, N do
        flags[i] = false
    end
    local total = 0
    for _ = 1, ROUNDS do
        total = total + sieve(flags)
    end
    print(total)
end

main()
