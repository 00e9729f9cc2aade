-- Function calls: bubble sort of 3500 integers with a swap function per exchange.

local N = 3500

local function swap(a, i, j)
    a[i], a[j] = a[j], a[i]
end

local function bubbleSort(a, n)
    local swaps = 0
    for i = n - 1, 1, -1 do
        for j = 1, i do
            if a[j] > a[j + 1] then
                swap(a, j, j + 1)
                swaps = swaps + 1
            end
        end
    end
    return swaps
end

local function main()
    local a = {}
    local x = 1
    for i = 1, N do
        x = (x * 75 + 74) % 65537
        a[i] = x
    end
    local swaps = bubbleSort(a, N)
    local s = 0
    for i = 1, N do
        s = (s * 31 + a[i]) % 1000003
    end
    print(swaps + s)
end

main()
